# Brayton cycle in air by hand from the air correlations: h and s0 are the
# integrals of cp(T) = 18101000/T^3 - 853030/T^2 + 118180/T^1.5 - 6447.8/T
# + 150.36/sqrt(T) - 0.13861 + 6.9614e-5 T (kJ/kg-K), fixed so that
# h(300 K) = 8702.525767/28.9669 kJ/kg and s(300 K, 100 kPa) =
# 165.157677/28.9669 kJ/kg-K; R = 8.31434/28.9669 kJ/kg-K. Temperatures
# from h or s by bisection to the last bit. Prints voq-solve's lines.
from math import log, sqrt

M = 28.9669
R = 8.31434 / M


def h_raw(T):
    r = sqrt(T)
    return (-18101000 / (2 * T * T) + 853030 / T - 236360 / r - 6447.8 * log(T)
            + 300.72 * r - 0.13861 * T + 3.4807e-5 * T * T)


def s_raw(T):
    r = sqrt(T)
    return (-18101000 / (3 * T ** 3) + 853030 / (2 * T * T) - 118180 / (1.5 * T * r)
            + 6447.8 / T - 300.72 / r - 0.13861 * log(T) + 6.9614e-5 * T)


H_OFF = 8702.525767 / M - h_raw(300.0)
S_OFF = 165.157677 / M - s_raw(300.0)


def h(T):
    return h_raw(T) + H_OFF


def s(T, P):
    return s_raw(T) + S_OFF - R * log(P / 100)


def solve(f, target, lo=50.0, hi=5000.0):
    for _ in range(200):
        mid = (lo + hi) / 2
        if f(mid) < target:
            lo = mid
        else:
            hi = mid
    return (lo + hi) / 2


P1, T1, r_p, eta_c, T3, eta_t = 100.0, 300.0, 10.0, 0.85, 1400.0, 0.90
P2 = r_p * P1
h1 = h(T1)
s1 = s(T1, P1)
T2s = solve(lambda T: s(T, P2), s1)
h2s = h(T2s)
h2 = h1 + (h2s - h1) / eta_c
T2 = solve(h, h2)
P3 = P2
h3 = h(T3)
s3 = s(T3, P3)
q_in = h3 - h2
P4 = P1
T4s = solve(lambda T: s(T, P4), s3)
h4s = h(T4s)
h4 = h3 - eta_t * (h3 - h4s)
T4 = solve(h, h4)
s4 = s(T4, P4)
w_c = h2 - h1
w_t = h3 - h4
w_net = w_t - w_c
eta_th = w_net / q_in
bwr = w_c / w_t
v1 = R * T1 / P1

values = dict(P1=P1, T1=T1, r_p=r_p, P2=P2, eta_c=eta_c, T3=T3, eta_t=eta_t, h1=h1, s1=s1, T2s=T2s,
              h2s=h2s, h2=h2, T2=T2, P3=P3, h3=h3, s3=s3, q_in=q_in, P4=P4, T4s=T4s, h4s=h4s, h4=h4,
              T4=T4, s4=s4, w_c=w_c, w_t=w_t, w_net=w_net, eta_th=eta_th, bwr=bwr, v1=v1)
# The units voq-solve infers for variables that a property call or a
# difference of such variables sets.
UNITS = dict(h1="kJ/kg", h2="kJ/kg", h2s="kJ/kg", h3="kJ/kg", h4="kJ/kg", h4s="kJ/kg", q_in="kJ/kg",
             w_c="kJ/kg", w_net="kJ/kg", w_t="kJ/kg", s1="kJ/kg-K", s3="kJ/kg-K", s4="kJ/kg-K", T2="K",
             T4="K", T4s="K", v1="m^3/kg")
for name in sorted(values, key=str.lower):
    line = "%s=%.14E" % (name, values[name])
    if name in UNITS:
        line += " [%s]" % UNITS[name]
    print(line)
