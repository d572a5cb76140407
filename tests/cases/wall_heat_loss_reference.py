# Reference values for examples/wall_heat_loss.txt, computed independently of
# VOQ: the four conduction and film resistances in series carry the flux
# q = (T_room - T_s)/R with R = 1/h_in + L_1/k_1 + L_2/k_2 + L_3/k_3, and the
# outer surface balance (T_room - T_s)/R = h_out*(T_s - T_out)
# + epsilon*sigma*(T_s^4 - T_sky^4) is solved for T_s by bisection in
# 40-digit decimal arithmetic (the left side falls and the right side rises
# with T_s, so the root is unique). Run: python3 wall_heat_loss_reference.py
from decimal import Decimal as D, getcontext
getcontext().prec = 40
T_room, T_out, T_sky = D('294.15'), D('268.15'), D('253.15')
h_in, h_out, eps, sigma = D(8), D(25), D('0.9'), D('5.670374419e-8')
L = [D('0.015'), D('0.24'), D('0.10')]; k = [D('0.5'), D('0.8'), D('0.035')]
R = 1/h_in + sum(l/kk for l, kk in zip(L, k))
f = lambda Ts: (T_room - Ts)/R - h_out*(Ts - T_out) - eps*sigma*(Ts**4 - T_sky**4)
lo, hi = D(200), D(300)
for _ in range(200):
    mid = (lo + hi)/2
    if f(mid) > 0: lo = mid
    else: hi = mid
T_s = (lo + hi)/2
q = (T_room - T_s)/R
T_1 = T_room - q/h_in
T_2 = T_1 - q*L[0]/k[0]
T_3 = T_2 - q*L[1]/k[1]
A = D(12)
Q_wall = q*A
E_night = Q_wall*14*3600/D(10)**6
R_wool = L[2]/k[2]
T_s_C = T_s - D('273.15')
# Every variable of the example with the units its equations give, in the
# order voq-solve lists them (by name, ignoring case): the lines of
# wall_heat_loss.expected.
rows = [("A", A, "m^2"), ("epsilon", eps, ""), ("E_night", E_night, "MJ"),
        ("h_in", h_in, "W/m^2-K"), ("h_out", h_out, "W/m^2-K"),
        ("k_1", k[0], "W/m-K"), ("k_2", k[1], "W/m-K"), ("k_3", k[2], "W/m-K"),
        ("L_1", L[0], "m"), ("L_2", L[1], "m"), ("L_3", L[2], "m"),
        ("q", q, "W/m^2"), ("Q_wall", Q_wall, "W"), ("R_wool", R_wool, "m^2-K/W"),
        ("sigma", sigma, "W/m^2-K^4"), ("T_1", T_1, ""), ("T_2", T_2, ""), ("T_3", T_3, ""),
        ("T_out", T_out, "K"), ("T_room", T_room, "K"), ("T_s", T_s, ""), ("T_sky", T_sky, "K"),
        ("T_s_C", T_s_C, "C")]
for name, v, units in sorted(rows, key=lambda row: row[0].upper()):
    print(f"{name}={v:.20E}" + (f" [{units}]" if units else ""))
