#!/usr/bin/env python3
"""The chain x[1] = 1, x[i]^3 + x[i] = x[i-1] + 1/i for i = 2..1000,
solved link by link (independent of voq-solve).

Each link is a cubic c(x) = x^3 + x - r with c' = 3x^2 + 1 > 0, so it has
exactly one real root; Newton's method from x = r (c(r) = r^3 >= 0 for
r >= 0, and the iterates fall monotonically to the root) finds it to full
double precision. Prints the value lines of the case.
"""

x = {1: 1.0}
for i in range(2, 1001):
    r = x[i - 1] + 1.0 / i
    v = r
    for _ in range(100):
        step = (v * v * v + v - r) / (3 * v * v + 1)
        v -= step
        if abs(step) <= 1e-17 * abs(v):
            break
    x[i] = v

# voq-solve lists the variables by name: x[1], x[2], ... in index order.
for i in range(1, 1001):
    print(f"x[{i}]={x[i]:.15E}")
