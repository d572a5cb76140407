#!/usr/bin/python3
"""Reference values of rankine_steam.txt and rankine_steam_iapws.txt (one
cycle, with the NBS steam and with Steam_IAPWS) from IAPWS-95 (W. Wagner and
A. Pruss, J. Phys. Chem. Ref. Data 31 (2002) 387), the formulation of
today's published steam tables, as computed by the Debian package
python3-iapws (class IAPWS95). The pump work is v1 (P2 - P1) as in the case.
Prints the value lines of both cases' .expected files."""
from iapws import IAPWS95

P1, P2, T3 = 10.0, 8000.0, 773.15
st1 = IAPWS95(P=P1 / 1000, x=0)
h1, v1, s1, T1 = st1.h, st1.v, st1.s, st1.T
w_p = v1 * (P2 - P1)
h2 = h1 + w_p
st3 = IAPWS95(T=T3, P=P2 / 1000)
h3, s3 = st3.h, st3.s
# The turbine exit is wet: the lever rule between the saturated states at
# P1 (the package's own (P, s) solver stalls in the two-phase region).
liq, vap = IAPWS95(P=P1 / 1000, x=0), IAPWS95(P=P1 / 1000, x=1)
x4 = (s3 - liq.s) / (vap.s - liq.s)
h4 = liq.h + x4 * (vap.h - liq.h)
T4 = liq.T
w_t = h3 - h4
q_in = h3 - h2
q_out = h4 - h1
w_net = w_t - w_p
eta = w_net / q_in
bwr = w_p / w_t
values = dict(bwr=bwr, eta=eta, h1=h1, h2=h2, h3=h3, h4=h4, P1=P1, P2=P2, P3=P2, P4=P1,
              q_in=q_in, q_out=q_out, s1=s1, s3=s3, s4=s3, T1=T1, T3=T3, T4=T4, v1=v1,
              w_net=w_net, w_p=w_p, w_t=w_t, x1=0.0, x4=x4)
for name in sorted(values, key=str.lower):
    print("%s=%.14E" % (name, values[name]))
