#!/usr/bin/env python3
"""Pipe flow with the friction factor f(Re) = 64/Re below Re = 2300 and
0.3164 Re^-0.25 above (independent of voq-solve).

dP = f (L/D) rho V^2 / 2 with Re = rho V D / mu has closed forms:
  laminar:   dP = 32 mu L V / D^2, so V = dP D^2 / (32 mu L);
  turbulent: dP = 0.3164 (rho D / mu)^-0.25 (L/D) rho V^1.75 / 2, so
             V = (2 dP D / (0.3164 L rho (rho D / mu)^-0.25))^(1/1.75).
Each flow's Re is then checked to lie on the branch used. Prints the value
lines of the case in voq-solve's order (by name, ignoring case).
"""
D, L, dP = 0.05, 10.0, 2000.0
values = {"D": D, "L": L, "dP": dP}


def flow(rho, mu, suffix):
    v_lam = dP * D * D / (32 * mu * L)
    if rho * v_lam * D / mu < 2300:
        v = v_lam
        re = rho * v * D / mu
        f = 64 / re
    else:
        v = (2 * dP * D / (0.3164 * L * rho * (rho * D / mu) ** -0.25)) ** (1 / 1.75)
        re = rho * v * D / mu
        assert re >= 2300
        f = 0.3164 * re ** -0.25
    values.update({"rho" + suffix: rho, "mu" + suffix: mu, "V" + suffix: v, "Re" + suffix: re, "f" + suffix: f})


flow(1000.0, 0.001, "")
flow(1260.0, 1.0, "2")
values["dP2"] = dP
for name in sorted(values, key=str.lower):
    print(f"{name}={values[name]:.15E}")
