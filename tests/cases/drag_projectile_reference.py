#!/usr/bin/env python3
"""Reference for drag_projectile: integrates x'' = -k x', y'' = -g - k y'
numerically (classical Runge-Kutta, step 1e-3 s, the landing found by
bisection inside the last step) and finds the lower launch angle that lands
at R = 150 m by bisection on the angle. Independent of the closed form the
case uses. Prints the value lines of drag_projectile.expected."""
import math

V0, G, K, R = 50.0, 9.81, 0.1, 150.0


def deriv(s):
    x, y, u, w = s
    return (u, w, -K * u, -G - K * w)


def rk4(s, h):
    def add(a, b, f):
        return tuple(ai + f * bi for ai, bi in zip(a, b))
    k1 = deriv(s)
    k2 = deriv(add(s, k1, h / 2))
    k3 = deriv(add(s, k2, h / 2))
    k4 = deriv(add(s, k3, h))
    return tuple(si + h / 6 * (a + 2 * b + 2 * c + d) for si, a, b, c, d in zip(s, k1, k2, k3, k4))


def landing(theta_deg):
    th = math.radians(theta_deg)
    s = (0.0, 0.0, V0 * math.cos(th), V0 * math.sin(th))
    t, h = 0.0, 1e-3
    while True:
        n = rk4(s, h)
        if n[1] < 0 and t > 0:
            lo, hi = 0.0, h
            for _ in range(200):
                m = (lo + hi) / 2
                if rk4(s, m)[1] > 0:
                    lo = m
                else:
                    hi = m
            return rk4(s, lo)[0], t + lo
        s, t = n, t + h


lo, hi = 1.0, 35.0  # the range grows with the angle below the best angle (about 39 degrees)
for _ in range(60):
    mid = (lo + hi) / 2
    if landing(mid)[0] < R:
        lo = mid
    else:
        hi = mid
theta = (lo + hi) / 2
x, t_f = landing(theta)
print("g=9.810000000E+00 [m/s^2]")
print("k=1.000000000E-01 [1/s]")
print("R=1.500000000E+02 [m]")
print("theta=%.9E" % theta)
print("t_f=%.9E" % t_f)
print("v0=5.000000000E+01 [m/s]")
