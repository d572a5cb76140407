#!/usr/bin/env python3
"""Reference for lumped_cooling_integral: the closed-form solution of the
lumped cooling equation m c dT/dt = -h A (T - T_inf), T(0) = T_i:
T(t) = T_inf + (T_i - T_inf) exp(-t/tau), tau = m c/(h A), at t = 600 s.
Prints the value lines of lumped_cooling_integral.expected."""
import math

m, c, h, A, T_inf, T_i, t_end = 0.1, 500.0, 25.0, 0.01, 20.0, 100.0, 600.0
tau = m * c / (h * A)
T = T_inf + (T_i - T_inf) * math.exp(-t_end / tau)
dTdt = -(T - T_inf) / tau

for name, value, units in [("A", A, "m^2"), ("c", c, "J/kg-K"), ("dTdt", dTdt, None), ("h", h, "W/m^2-K"),
                           ("m", m, "kg"), ("T", T, None), ("time", t_end, None), ("T_i", T_i, "C"),
                           ("T_inf", T_inf, "C")]:
    print(f"{name}={value:.9E}" + (f" [{units}]" if units else ""))
