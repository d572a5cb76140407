#!/usr/bin/python3
"""Reference values of the steam tests: IAPWS-95 (W. Wagner and A. Pruss,
J. Phys. Chem. Ref. Data 31 (2002) 387) as computed by the Debian package
python3-iapws 1.5.3 (module iapws, class IAPWS95), whose implementation
reproduces the check tables of the IAPWS-95 release (tables 6 to 8).
Prints the C++ rows pasted into steam_nbs_test.cpp and steam_nbs_core_test.cpp.
Run with /usr/bin/python3 after apt-get install python3-iapws."""
import math
from iapws import IAPWS95

print("// T K, P kPa, h kJ/kg, s kJ/kg-K, v m3/kg, cp kJ/kg-K, w m/s")
for T, P in [(300, 101.325), (300, 10000), (300, 50000), (400, 101.325), (400, 20000), (500, 1000),
             (500, 50000), (600, 5000), (600, 30000), (700, 10000), (700, 30000), (800, 20000),
             (1000, 1000), (1000, 50000)]:
    s = IAPWS95(T=T, P=P / 1000)
    print("{%g, %g, %.4f, %.5f, %.7e, %.4f, %.2f}," % (T, P, s.h, s.s, s.v, s.cp, s.w))

print("// saturated at 101.325 kPa: T, hf, hg, sf, sg, vf, vg")
f = IAPWS95(P=0.101325, x=0)
g = IAPWS95(P=0.101325, x=1)
print("%.5f, %.4f, %.4f, %.6f, %.6f, %.8e, %.7f" % (f.T, f.h, g.h, f.s, g.s, f.v, g.v))

print("// liquid at 300 K, 101.325 kPa: cv, alfav (1/K)")
s = IAPWS95(T=300, P=0.101325)
print("%.4f, %.5e" % (s.cv, s.alfav))

# Fugacity: ln(f/P) = (g(T,P) - g(T,P0))/RT - ln(P/P0), P0 low enough for
# the gas to be ideal.
for T, P in [(500, 1000), (400, 101.325)]:
    a = IAPWS95(T=T, P=P / 1000)
    b = IAPWS95(T=T, P=1e-6)
    R = 8.314371357587 / 18.015268
    lnf = (a.g - b.g) / (R * T) - math.log(P / 1e-3)
    print("// fugacity %g K %g kPa: f kPa" % (T, P))
    print("%.5f" % (P * math.exp(lnf)))

# Sublimation pressure of ice, IAPWS 2011 (Wagner, Riethmann, Feistel,
# Harvey, J. Phys. Chem. Ref. Data 40 (2011) 043103), eq. 6.
def psub(T):
    th = T / 273.16
    a = (-0.212144006e2, 0.273203819e2, -0.610598130e1)
    b = (0.333333333e-2, 0.120666667e1, 0.170333333e1)
    return 0.611657 * math.exp(sum(ai * th ** bi for ai, bi in zip(a, b)) / th)
print("// sublimation pressure kPa at 263.15 and 260 K")
print("%.5f, %.5f" % (psub(263.15), psub(260)))
