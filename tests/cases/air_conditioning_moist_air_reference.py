# Air-conditioning process by hand from the moist-air correlations: the
# saturation pressure of Wagner and Pruss, the Hyland-Wexler enthalpy of
# water vapour with its virial terms, dry air's enthalpy integral of
# cp(T) = 18101000/T^3 - 853030/T^2 + 118180/T^1.5 - 6447.8/T
# + 150.36/sqrt(T) - 0.13861 + 6.9614e-5 T (kJ/kg-K), zero at 0 C, and
# W = 0.62198 Pv/(P - Pv). Temperatures (from h, wet bulb, dew point) by
# bisection to the last bit. Prints voq-solve's lines.
from math import exp, log, sqrt

P = 101.325
EPS = 0.62198


def ps(Tk):  # kPa, over liquid water
    th = min(Tk / 647.096, 0.9999)
    t = 1 - th
    a = (-7.85951783, 1.84408259, -11.7866497, 22.6807411, -15.9618719, 1.80122502)
    s = a[0] * t + a[1] * t ** 1.5 + a[2] * t ** 3 + a[3] * t ** 3.5 + a[4] * t ** 4 + a[5] * t ** 7.5
    return 22064 * exp(s / th)


def h_raw(T):
    r = sqrt(T)
    return (-18101000 / (2 * T * T) + 853030 / T - 236360 / r - 6447.8 * log(T)
            + 300.72 * r - 0.13861 * T + 3.4807e-5 * T * T)


def ha(t):
    return h_raw(t + 273.15) - h_raw(273.15)


def hg(t):
    Tk = t + 273.15
    p = 1000 * ps(Tk)
    h0 = (1997.98 + 1.8035706 * Tk + 3.6400463e-4 * Tk ** 2 - 1.4677622e-6 * Tk ** 3
          + 2.8726608e-9 * Tk ** 4 - 1.7508262e-12 * Tk ** 5)
    dB = 2.552597394e-6 * exp(1734.29 / Tk) / Tk ** 2
    C = 1.04e-15 - 3.35297e-18 * exp(3645.09 / Tk)
    return h0 - 0.46152 * Tk ** 2 * dB * p + 0.5 * C * p * p


def hw(t):
    return 4.186897 * t if t > 0 else 2.069 * t - 333.38


def w_from_r(t, R):
    pv = R * ps(t + 273.15)
    return EPS * pv / (P - pv)


def h(t, w):
    return ha(t) + w * hg(t)


def w_from_b(b, t):
    wsb = w_from_r(b, 1)
    return (ha(b) - ha(t) + wsb * (hg(b) - hw(b))) / (hg(t) - hw(b))


def solve(f, lo, hi):  # f increasing, root in [lo, hi]
    for _ in range(200):
        mid = (lo + hi) / 2
        if mid in (lo, hi):
            break
        if f(mid) > 0:
            hi = mid
        else:
            lo = mid
    return (lo + hi) / 2


def pv_of(w):
    return w * P / (w + EPS)


T1, R1, m1 = 35.0, 0.6, 0.5
T2, R2, m2 = 25.0, 0.5, 1.5
w1, w2 = w_from_r(T1, R1), w_from_r(T2, R2)
h1, h2 = h(T1, w1), h(T2, w2)
m3 = m1 + m2
w3 = (m1 * w1 + m2 * w2) / m3
h3 = (m1 * h1 + m2 * h2) / m3
T3 = solve(lambda t: h(t, w3) - h3, 0, 60)
B3 = solve(lambda b: w_from_b(b, T3) - w3, 0, T3)
D3 = solve(lambda t: ps(t + 273.15) - pv_of(w3), 0.01, T3)
v3 = 8.31441 * (T3 + 273.15) / (P - pv_of(w3)) / 28.9669
T4 = 12.0
w4 = w_from_r(T4, 1)
h4 = h(T4, w4)
m_cond = m3 * (w3 - w4)
h_cond = 4.186897 * T4
Q_coil = m3 * (h3 - h4) - m_cond * h_cond
T5 = 18.0
h5 = h(T5, w4)
R5 = pv_of(w4) / ps(T5 + 273.15)
D5 = solve(lambda t: ps(t + 273.15) - pv_of(w4), 0.01, T5)
Q_reheat = m3 * (h5 - h4)

values = dict(B3=B3, D3=D3, D5=D5, h1=h1, h2=h2, h3=h3, h4=h4, h5=h5, h_cond=h_cond, m1=m1, m2=m2, m3=m3,
              m_cond=m_cond, P=P, Q_coil=Q_coil, Q_reheat=Q_reheat, R1=R1, R2=R2, R5=R5, T1=T1, T2=T2, T3=T3,
              T4=T4, T5=T5, v3=v3, w1=w1, w2=w2, w3=w3, w4=w4)
for name in sorted(values, key=str.lower):
    print(f"{name}={values[name]:.14E}")
