#!/usr/bin/env python3
"""The 1,000 equations (u[i-1] - 2 u[i] + u[i+1]) / h^2 + exp(u[i]) = 0,
i = 1..1000, u[0] = u[1001] = 0, h = 1/1001 (independent of voq-solve).

Newton's method on the whole system: the Jacobian is tridiagonal (1/h^2
off the diagonal, -2/h^2 + exp(u[i]) on it), solved each step by the
Thomas algorithm, starting from u = 0 and iterating until the step is
below 1e-16 relative. The lower of the two solutions of this problem is
the one found (u near 0.1405 at the middle, the known value of the
continuous problem). Prints the value lines of the case.
"""
import math

n = 1000
h = 1.0 / 1001
u = [0.0] * (n + 2)
for _ in range(50):
    # F(u) and the tridiagonal Jacobian of the interior points 1..n.
    f = [(u[i - 1] - 2 * u[i] + u[i + 1]) / (h * h) + math.exp(u[i]) for i in range(1, n + 1)]
    diag = [-2 / (h * h) + math.exp(u[i]) for i in range(1, n + 1)]
    off = 1 / (h * h)
    # Thomas algorithm for J d = -F.
    c = [0.0] * n
    d = [0.0] * n
    c[0] = off / diag[0]
    d[0] = -f[0] / diag[0]
    for k in range(1, n):
        m = diag[k] - off * c[k - 1]
        c[k] = off / m
        d[k] = (-f[k] - off * d[k - 1]) / m
    for k in range(n - 2, -1, -1):
        d[k] -= c[k] * d[k + 1]
    biggest = 0.0
    for k in range(n):
        u[k + 1] += d[k]
        biggest = max(biggest, abs(d[k]) / max(abs(u[k + 1]), 1e-300))
    if biggest < 1e-16:
        break

# voq-solve lists the variables by name, ignoring case: h, then u[0],
# u[1], ... in index order.
print(f"h={h:.15E}")
for i in range(0, n + 2):
    print(f"u[{i}]={u[i]:.15E}")
