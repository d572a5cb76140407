# Three counterflow heat exchangers in series, by the effectiveness-NTU
# method (Incropera & DeWitt, Fundamentals of Heat and Mass Transfer,
# counterflow: eps = (1 - exp(-NTU (1 - Cr))) / (1 - Cr exp(-NTU (1 - Cr)))),
# computed directly in double precision. Prints voq-solve's lines: every
# merged copy "@1\n.X" of the module's variables and the main variables,
# ordered by name without regard to case. With --main-only, the main
# program's variables alone (the exchanger as a SUBPROGRAM, solved on its
# own, heat_exchanger_subprogram.txt).
import sys
from math import exp


def exchanger(UA, C_h, C_c, Th_in, Tc_in):
    C_min = min(C_h, C_c)
    C_max = max(C_h, C_c)
    Cr = C_min / C_max
    NTU = UA / C_min
    eps = (1 - exp(-NTU * (1 - Cr))) / (1 - Cr * exp(-NTU * (1 - Cr)))
    q = eps * C_min * (Th_in - Tc_in)
    return {"UA": UA, "C_h": C_h, "C_c": C_c, "Th_in": Th_in, "Tc_in": Tc_in,
            "C_min": C_min, "C_max": C_max, "Cr": Cr, "NTU": NTU, "eps": eps, "q": q,
            "Th_out": Th_in - q / C_h, "Tc_out": Tc_in + q / C_c}


C_hot = 2000.0
T_1 = 150.0
calls = [(1500.0, 1200.0, 20.0), (2500.0, 3000.0, 15.0), (800.0, 1000.0, 10.0)]
values = {"C_hot": C_hot, "T_1": T_1}
T_in = T_1
q_total = 0.0
for n, (UA, C_c, Tc_in) in enumerate(calls, start=1):
    x = exchanger(UA, C_hot, C_c, T_in, Tc_in)
    for name, value in x.items():
        values["@1\\%d.%s" % (n, name)] = value
    values["T_%d" % (n + 1)] = x["Th_out"]
    values["Tc_%d" % n] = x["Tc_out"]
    values["q_%d" % n] = x["q"]
    q_total += x["q"]
    T_in = x["Th_out"]
values["q_total"] = q_total

main_only = "--main-only" in sys.argv[1:]
for name in sorted(values, key=str.upper):
    if main_only and name.startswith("@"):
        continue
    print("%s=%.14E" % (name, values[name]))
