# Reference values of nonlinear30.txt from closed forms derived by hand,
# evaluated in 40-digit decimal arithmetic (python3 nonlinear30_reference.py).
# The x block x1*x2 + x3 = 7.75, x1 + x2*x3 = 11.5, x1^2 + x2 + x3 = 8.75 has
# the roots (1.5, 2.5, 4) and (1, 1.75, 6); from the default guesses (1) the
# solver reaches the second, which substitution confirms exactly.
# f2^2 + f2 - 6 = 0 (from f1 = f2 + 1, f1^2 + f2^2 = 13) gives f2 = 2 likewise.
from decimal import Decimal as D, getcontext
import random
getcontext().prec = 40
def sqrt(x): return x.sqrt()
def pw(x, e): return (D(e) * x.ln()).exp()
a = D(2); b = a**3 - 1; c = D(21)/b; u = D(2); v = D(2); w = D(3)
r = sqrt(a); s = r*c + u; t = (-1 + sqrt(1 + 4*s))/2; k = s/t; m = pw(k, '1.5'); n = (m + 1)/k
x1, x2, x3 = D(1), D('1.75'), D(6); y1 = x1*x2*x3; y2 = sqrt(y1 + 1); y3 = (y2 + n)/(y1 - n)
z1 = (s + t + k)/2; z2 = (s + t - k)/2; q1 = z1**2 - z2**2; q2 = 1/q1; e1 = 1/(1 + q2); e2 = e1**3 + e1*y3
f2 = D(2); f1 = f2 + 1; g = f1*f2*u/c; h = sqrt(g) + r; p = h*h
names = "a b c u v w r s t k m n x1 x2 x3 y1 y2 y3 z1 z2 q1 q2 e1 e2 f1 f2 g h p".split()
vals = dict((nm, eval(nm)) for nm in names)
vals['total'] = sum(vals.values())
for nm in sorted(vals, key=str.upper): print(f"{nm}={vals[nm]:.20E}")
