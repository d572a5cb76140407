#!/usr/bin/env python3
"""Fits the transport blocks of the built-in Martin-Hou records to published
viscosity and thermal-conductivity data, and prints the blocks as rows for
src/properties/martin_hou_transport_data.cpp.

Run by hand from the repository root (plain python3, no packages):

    python3 tools/fit_martin_hou_transport.py

The correlations (T in K):
  dilute-gas viscosity, form 1:  mu0 = sqrt(T) 1e-12 / (g1 + g2/T + g3/T^2)   [Pa s]
                        form 2:  mu0 = (g1 + g2 T + g3 T^2 + g4 T^3) 1e-12
  dilute-gas conductivity, form 1: k0 = sqrt(T) / (g1 + g2/T + g3/T^2)      [W/(m K)]
                           form 2: k0 = g1 + g2 T + g3 T^2 + g4 T^3
  liquid viscosity:   (l1 + l2 T + l3 T^2 + l4 T^3) 1e-6 Pa s
  liquid conductivity: l1 + l2 T + l3 T^2 + l4 T^3

Vapour data are values at a stated pressure (usually one atmosphere) with
the specific volume; the program adds to the dilute-gas value the
Stiel-Thodos dense-gas correction in the reduced density vc/v, so the fit
targets the tabulated value less that correction (at these low reduced
densities the correction is a few tenths of a per cent). Liquid data are
saturated-liquid values; the liquid correlations are in T alone.

Every fit is linear least squares on relative deviations (each row divided
by its target), by Householder QR on columns scaled to unit size.
"""
import math

PSIA_PER_ATM = 14.697
FT3LBM_PER_M3KG = 16.018463373960138  # 1 m3/kg in ft3/lbm


def lstsq(rows, rhs):
    """Least-squares solution of rows x = rhs (lists), Householder QR."""
    m, n = len(rows), len(rows[0])
    scale = [max(abs(r[j]) for r in rows) or 1.0 for j in range(n)]
    a = [[r[j] / scale[j] for j in range(n)] for r in rows]
    b = list(rhs)
    for k in range(n):
        norm = math.sqrt(sum(a[i][k] ** 2 for i in range(k, m)))
        if norm == 0:
            continue
        alpha = -norm if a[k][k] > 0 else norm
        v = [0.0] * m
        v[k] = a[k][k] - alpha
        for i in range(k + 1, m):
            v[i] = a[i][k]
        vv = sum(x * x for x in v[k:])
        if vv == 0:
            continue
        for j in range(k, n):
            s = sum(v[i] * a[i][j] for i in range(k, m)) * 2 / vv
            for i in range(k, m):
                a[i][j] -= s * v[i]
        s = sum(v[i] * b[i] for i in range(k, m)) * 2 / vv
        for i in range(k, m):
            b[i] -= s * v[i]
    x = [0.0] * n
    for k in range(n - 1, -1, -1):
        x[k] = (b[k] - sum(a[k][j] * x[j] for j in range(k + 1, n))) / a[k][k]
    return [x[j] / scale[j] for j in range(n)]


def fit_poly(points, terms):
    """y = sum c_k T^k (k < terms), relative least squares; 4 coefficients."""
    rows = [[T ** k / y for k in range(terms)] for T, y in points]
    c = lstsq(rows, [1.0] * len(points))
    return c + [0.0] * (4 - terms)


def fit_form1(points, terms=3):
    """y = sqrt(T) / (g1 + g2/T + g3/T^2): sqrt(T)/y is linear in 1/T^k."""
    rows = []
    rhs = []
    for T, y in points:
        z = math.sqrt(T) / y
        rows.append([T ** -k / z for k in range(terms)])
        rhs.append(1.0)
    c = lstsq(rows, rhs)
    return c + [0.0] * (4 - terms)


def poly(c, T):
    return c[0] + c[1] * T + c[2] * T * T + c[3] * T ** 3


def form1(c, T):
    return math.sqrt(T) / (c[0] + c[1] / T + c[2] / (T * T))


class Record:
    """The record's constants that the dense-gas corrections use."""

    def __init__(self, molar_mass, pc_psia, tc_r, vc_ft3lbm, r_gas):
        self.m, self.pc, self.tc, self.vc, self.r = molar_mass, pc_psia, tc_r, vc_ft3lbm, r_gas

    def rhor(self, v_m3kg):
        return self.vc / (v_m3kg * FT3LBM_PER_M3KG)

    def viscosity_correction(self, v_m3kg):
        """mu - mu0 in Pa s (the two lower branches of the program)."""
        rr = self.rhor(v_m3kg)
        xi = (self.tc / 1.8) ** (1 / 6) / (math.sqrt(self.m) * (self.pc / PSIA_PER_ATM) ** (2 / 3))
        if rr <= 0.1:
            d = 1.656 * rr ** 1.111
        elif rr <= 0.9:
            d = 0.0607 * (9.045 * rr + 0.63) ** 1.739
        else:
            raise ValueError("vapour datum too dense")
        return d / xi / 1e7

    def conductivity_correction(self, v_m3kg):
        rr = self.rhor(v_m3kg)
        zc = self.pc * self.vc / (self.r * self.tc)
        g = math.sqrt(self.m) * zc ** 5 * (self.tc / 1.8) ** (1 / 6) / (self.pc / PSIA_PER_ATM) ** (2 / 3)
        if rr <= 0.5:
            return 5.8576e-05 * (math.exp(0.535 * rr) - 1) / g
        raise ValueError("vapour datum too dense")


# ---------------------------------------------------------------------------
# Data.
#
# R22: P. E. Liley, "Thermophysical Properties of Fluids", chapter 1 of
# Mechanical Engineers' Handbook, Vol. 4: Energy and Power, 3rd ed., ed.
# M. Kutz, Wiley, 2006: Table 12 (saturated R22; viscosity and conductivity
# of the liquid, after ASHRAE, Thermophysical Properties of Refrigerants,
# 1976) and Table 13 (R22 at atmospheric pressure). Viscosity in Pa s,
# conductivity in W/(m K), specific volume in m3/kg. The table's rows 250 to
# 310 K of the saturated liquid were not available to us.
# ---------------------------------------------------------------------------
# Ammonia: Thermal-FluidsPedia, "Thermophysical Properties: Ammonia"
# (www.thermalfluidscentral.org/encyclopedia/index.php/
# Thermophysical_Properties:_Ammonia), saturated liquid and vapour, 200 to
# 390 K: viscosities in 1e-6 Pa s, conductivities in W/(m K), vapour density
# in kg/m3 (entered below as specific volume). The vapour conductivity rises
# steeply towards the critical point (405 K), which the dense-gas correction
# does not follow, so the gas fits use the rows up to 320 K (conductivity)
# and 340 K (viscosity).
FLUIDS = {
    "R22": {
        "number": 5,
        "record": Record(86.476, 721.91, 664.5, 0.030525, 0.124098),
        "viscosity": {
            "form": 1,
            "gas_range": (250, 440),
            "liq_range": (170, 360.01),
            # (T, mu, v) at 101.325 kPa
            "gas": [(250, 0.109e-4, 0.2315), (300, 0.130e-4, 0.2802), (350, 0.151e-4, 0.3289),
                    (400, 0.171e-4, 0.3773), (450, 0.190e-4, 0.4252), (500, 0.209e-4, 0.4723)],
            "liq": [(170, 0.770e-4), (180, 0.647e-4), (190, 0.554e-4), (200, 0.481e-4), (210, 0.424e-4),
                    (220, 0.378e-4), (230, 0.340e-4), (240, 0.309e-4), (320, 0.176e-4), (330, 0.167e-4),
                    (340, 0.151e-4), (350, 0.130e-4), (360, 0.106e-4)],
            "gas_terms": 3,
            "liq_terms": 4,
        },
        "conductivity": {
            "form": 2,
            "gas_range": (230, 645),
            "liq_range": (144, 340),
            "gas": [(250, 0.0080, 0.2315), (300, 0.0110, 0.2802), (350, 0.0140, 0.3289),
                    (400, 0.0170, 0.3773), (450, 0.0200, 0.4252), (500, 0.0230, 0.4723)],
            "liq": [(170, 0.151), (180, 0.146), (190, 0.141), (200, 0.136), (210, 0.131), (220, 0.126),
                    (230, 0.121), (240, 0.117), (320, 0.077), (330, 0.072), (340, 0.067), (350, 0.062)],
            "gas_terms": 2,
            "liq_terms": 2,
        },
    },
    "Ammonia": {
        "number": 10,
        "record": Record(17.031, 1640.0, 729.77, 0.06816, 0.63),
        "viscosity": {
            "form": 2,
            "gas_range": (200, 1000),
            "liq_range": (230, 390),
            "gas": [(T, mu * 1e-6, 1 / rho) for T, mu, rho in (
                (200, 7.64, 0.08899), (210, 8.02, 0.1746), (220, 8.40, 0.3190), (230, 8.78, 0.5489),
                (240, 9.16, 0.8972), (250, 9.54, 1.404), (260, 9.93, 2.115), (270, 10.31, 3.086),
                (280, 10.70, 4.380), (290, 11.07, 6.071), (300, 11.45, 8.247), (310, 11.86, 11.01),
                (320, 12.29, 14.51), (330, 12.74, 18.89), (340, 13.22, 24.40))],
            "liq": [(T, mu * 1e-6) for T, mu in (
                (230, 302), (240, 273), (250, 245), (260, 220), (270, 197), (280, 176), (290, 157.7),
                (300, 141.0), (310, 126.0), (320, 113.4), (330, 101.9), (340, 92.1), (350, 83.2),
                (360, 75.4), (370, 68.5), (380, 61.1), (390, 50.3))],
            "gas_terms": 2,
            "liq_terms": 4,
        },
        "conductivity": {
            "form": 2,
            "gas_range": (230, 900),
            "liq_range": (244, 406),
            "gas": [(T, k, 1 / rho) for T, k, rho in (
                (220, 0.0158, 0.3190), (230, 0.0171, 0.5489), (240, 0.0184, 0.8972), (250, 0.0199, 1.404),
                (260, 0.0211, 2.115), (270, 0.0224, 3.086), (280, 0.0239, 4.380), (290, 0.0256, 6.071),
                (300, 0.0277, 8.247), (310, 0.0302, 11.01), (320, 0.0332, 14.51))],
            "liq": [(T, k) for T, k in (
                (240, 0.615), (250, 0.592), (260, 0.569), (270, 0.546), (280, 0.523), (290, 0.500),
                (300, 0.477), (310, 0.454), (320, 0.431), (330, 0.408), (340, 0.385), (350, 0.361),
                (360, 0.337), (370, 0.313), (380, 0.286), (390, 0.254))],
            "gas_terms": 2,
            "liq_terms": 3,
        },
    },
}


# ---------------------------------------------------------------------------
# VDI Heat Atlas correlations. VDI Heat Atlas, 2nd ed. (VDI e. V., ed.,
# Springer, Berlin 2010), chapter D3.1 "Thermophysical Properties of Pure
# Substances", tables of the PPDS correlations (as transcribed in the
# chemicals library of the Chemical Engineering Design Library, files
# chemicals/Viscosity/VDI PPDS Dynamic viscosity of saturated liquids
# polynomials.tsv, ... of gases polynomials.tsv, chemicals/Thermal
# Conductivity/VDI PPDS Thermal conductivity of saturated liquids.tsv and
# ... of gases.tsv). The data points below are these published equations
# evaluated every 10 K over each range:
#   saturated-liquid viscosity  mu = E exp[A x^(1/3) + B x^(4/3)],
#                               x = (C - T)/(T - D)              [Pa s]
#   gas viscosity at low pressure   mu = A + B T + C T^2 + D T^3 + E T^4 [Pa s]
#   saturated-liquid conductivity   k = A + B T + C T^2 + D T^3 + E T^4 [W/(m K)]
#   gas conductivity at low pressure k = A + B T + C T^2 + D T^3 + E T^4
# The gas values are taken as dilute-gas values (no dense-gas correction
# is taken off: at the pressures of those tables it is below 0.5 %).
# ---------------------------------------------------------------------------
VDI = {
    # name: (liquid viscosity A..E, gas viscosity A..E, liquid conductivity
    # A..E, gas conductivity A..E)
    "R12": ((2.23435, 96.51808, 363.171, -3940.344, 0.00007311),
            (0.000001392, 0.000000037652, -0.000000000001344, 0, 0),
            (0.2016, -0.0004522, 0.00000009, -0.000000000227, 0.000000000000212),
            (-0.001873, 0.000029, 0.00000003409, 0, 0)),
    "R22": ((2.50542, 0.00079, 369.199, 56.279, 0.00002948),
            (-0.000000413, 0.00000004729, -0.00000000000923, 0, 0),
            (0.2211, -0.0004472, -0.000000061, 0.00000000021, -0.000000000000241),
            (-0.008104, 0.000066, -0.00000000941, 0, 0)),
    "R13": ((0.7636, 1.63878, 278.217, -10.329, 0.00010624),
            (-0.0000005012, 0.000000054778, -0.000000000015645, 0, 0),
            (0.195, -0.0005177, 0.000000095, -0.00000000034, 0.000000000000432),
            (-0.001734, 0.00002, 0.00000013251, -0.00000000016081, 0.00000000000005951)),
    "R14": ((1.28783, 0.76244, 405.676, -14.981, 0.00002872),
            (0.0000004703, 0.00000006189, -0.000000000019722, 0, 0),
            (0.22, -0.0009284, -0.000000627, 0.000000009634, -0.000000000017838),
            (-0.0022, 0.000026, 0.00000016724, -0.0000000001997, 0.00000000000007466)),
    "R114": ((1.87065, 0.72922, 852.495, -53.946, 0.0000104),
             (0.000000982, 0.000000036272, -0.000000000003272, 0, 0),
             (0.1382, -0.0002496, 0.000000001, 0.000000000019, -0.00000000000003),
             (-0.006889, 0.00006, -0.00000000889, 0, 0)),
    "Propane": ((2.56344, 0.16137, 372.533, 38.033, 0.00001751),
                (0.0000007353, 0.000000020874, 0.000000000024208, -0.00000000000003914, 1.784E-017),
                (0.2661, -0.0006336, 0.000000057, 0.000000000655, -0.000000000000701),
                (-0.006656, 0.000053, 0.00000010181, 0, 0)),
}


def vdi_liquid_viscosity(name, T):
    A, B, C, D, E = VDI[name][0]
    x = (C - T) / (T - D)
    return E * math.exp(A * x ** (1 / 3) + B * x ** (4 / 3))


def vdi_poly(name, which, T):
    return sum(c * T ** i for i, c in enumerate(VDI[name][which]))


def vdi_points(lo, hi, step=10):
    T = lo
    out = []
    while T <= hi + 1e-9:
        out.append(T)
        T += step
    return out


def vdi_block(name, prop, form, gas_range, liq_range, gas_data, liq_data, gas_terms, liq_terms):
    """A block of dilute-gas and saturated-liquid points from the VDI
    correlations; gas_data and liq_data are the (lo, hi) spans of points,
    None when the block keeps no data for that range."""
    viscosity = prop == "viscosity"
    block = {"form": form, "gas_range": gas_range, "liq_range": liq_range, "dilute": True,
             "gas_terms": gas_terms, "liq_terms": liq_terms, "gas": [], "liq": []}
    if gas_data:
        block["gas"] = [(T, vdi_poly(name, 1 if viscosity else 3, T), None) for T in vdi_points(*gas_data)]
    if liq_data:
        block["liq"] = [(T, vdi_liquid_viscosity(name, T) if viscosity else vdi_poly(name, 2, T))
                        for T in vdi_points(*liq_data)]
    return block


FLUIDS["R12"] = {
    "number": 2,
    "viscosity": vdi_block("R12", "viscosity", 1, (250, 480), (170, 340), (250, 480), (170, 340), 3, 4),
    # the gas conductivity keeps its given correlation; only the liquid is fitted
    "conductivity": dict(vdi_block("R12", "conductivity", 1, (240, 480), (144, 344), None, (144, 344), 3, 4),
                         gas_fixed=[313.340951, 296796.2841, 43405530.17, 0]),
}

# R22's liquid viscosity: the handbook column above is headed 1e-4 Pa s,
# which makes the liquid less viscous than the vapour at one atmosphere
# (0.176e-4 Pa s at 320 K against 0.130e-4 Pa s for the gas at 300 K);
# read as mPa s it lies 13 to 65 % above the VDI correlation (most near
# the critical point). The liquid block is fitted to the VDI correlation
# instead, 170 to 360 K.
FLUIDS["R22"]["viscosity"]["liq"] = [(T, vdi_liquid_viscosity("R22", T)) for T in vdi_points(170, 360)]

# R13: the liquid-viscosity correlation holds below its C = 278.2 K, so
# the liquid points stop at 270 K (the range to 300 K is kept).
FLUIDS["R13"] = {
    "number": 3,
    "viscosity": vdi_block("R13", "viscosity", 1, (220, 425), (200, 300), (220, 420), (200, 270), 3, 4),
    "conductivity": vdi_block("R13", "conductivity", 1, (220, 535), (94, 270), (220, 530), (94, 264), 3, 4),
}
# R14: no liquid-viscosity range.
FLUIDS["R14"] = {
    "number": 4,
    "viscosity": vdi_block("R14", "viscosity", 1, (230, 500), (140, 210), (230, 500), None, 3, 4),
    "conductivity": vdi_block("R14", "conductivity", 2, (144.26, 533.15), (140, 210), (144.26, 533.15),
                              (140, 210), 4, 4),
}
# R114: from 170 to 410 K the liquid viscosity falls thirtyfold, more than a
# cubic in T follows (least squares over the whole range is 32 % off at
# 170 K); the liquid points span 240 to 410 K, and below 240 K the block
# extrapolates (-8 % at 230 K, -27 % at 200 K, -54 % at 170 K).
FLUIDS["R114"] = {
    "number": 6,
    "viscosity": vdi_block("R114", "viscosity", 1, (230, 500), (170, 410), (230, 500), (240, 410), 3, 4),
    "conductivity": vdi_block("R114", "conductivity", 2, (280, 675), (180, 360), (280, 675), (180, 360), 3, 4),
}
# Propane: the liquid points stop at 360 K, below the critical 369.8 K.
FLUIDS["Propane"] = {
    "number": 15,
    "viscosity": vdi_block("Propane", "viscosity", 2, (240, 530), (210, 370), (240, 530), (210, 360), 4, 4),
    "conductivity": vdi_block("Propane", "conductivity", 2, (240, 530), (210, 370), (240, 530), (210, 360), 3, 4),
}


def fit_block(rec, prop, block):
    viscosity = prop == "viscosity"
    unit = 1e-12 if viscosity else 1.0
    if block.get("dilute"):
        correction = lambda v: 0.0  # noqa: E731
    else:
        correction = rec.viscosity_correction if viscosity else rec.conductivity_correction
    if not block["gas"] or not block["liq"]:
        return fit_partial_block(prop, block)
    dilute = [(T, (y - correction(v)) / unit) for T, y, v in block["gas"]]
    if block["form"] == 1:
        g = fit_form1(dilute, block["gas_terms"])
        gas_value = lambda T: form1(g, T) * unit  # noqa: E731
    else:
        g = fit_poly(dilute, block["gas_terms"])
        gas_value = lambda T: poly(g, T) * unit  # noqa: E731
    lunit = 1e-6 if viscosity else 1.0
    l = fit_poly([(T, y / lunit) for T, y in block["liq"]], block["liq_terms"])
    worst = 0.0
    for T, y, v in block["gas"]:
        d = (gas_value(T) + correction(v)) / y - 1
        worst = max(worst, abs(d))
        print("  %s gas    %7.2f K  data %.5g  fit %.5g  %+.2f %%" % (prop, T, y, gas_value(T) + correction(v), 100 * d))
    for T, y in block["liq"]:
        d = poly(l, T) * lunit / y - 1
        worst = max(worst, abs(d))
        print("  %s liquid %7.2f K  data %.5g  fit %.5g  %+.2f %%" % (prop, T, y, poly(l, T) * lunit, 100 * d))
    print("  %s: largest deviation %.2f %%" % (prop, 100 * worst))
    return g, l


def fit_partial_block(prop, block):
    """A block with data for one range only: the other range's
    coefficients stay zero (its limits are written as no data)."""
    viscosity = prop == "viscosity"
    unit = 1e-12 if viscosity else 1.0
    lunit = 1e-6 if viscosity else 1.0
    g = [0.0] * 4
    l = [0.0] * 4
    worst = 0.0
    if block["gas"]:
        dilute = [(T, y / unit) for T, y, _ in block["gas"]]
        g = fit_form1(dilute, block["gas_terms"]) if block["form"] == 1 else fit_poly(dilute, block["gas_terms"])
        for T, y, _ in block["gas"]:
            fit = (form1(g, T) if block["form"] == 1 else poly(g, T)) * unit
            worst = max(worst, abs(fit / y - 1))
            print("  %s gas    %7.2f K  data %.5g  fit %.5g  %+.2f %%" % (prop, T, y, fit, 100 * (fit / y - 1)))
    if block["liq"]:
        l = fit_poly([(T, y / lunit) for T, y in block["liq"]], block["liq_terms"])
        for T, y in block["liq"]:
            fit = poly(l, T) * lunit
            worst = max(worst, abs(fit / y - 1))
            print("  %s liquid %7.2f K  data %.5g  fit %.5g  %+.2f %%" % (prop, T, y, fit, 100 * (fit / y - 1)))
    print("  %s: largest deviation %.2f %%" % (prop, 100 * worst))
    return g, l


def fmt(x):
    if isinstance(x, str):
        return x
    return "0" if x == 0 else "%.10g" % x


def main():
    for name, f in FLUIDS.items():
        print("%s (fluid %d)" % (name, f["number"]))
        blocks = []
        for prop in ("viscosity", "conductivity"):
            block = f.get(prop)
            if block is None:
                blocks.append(None)
                continue
            g, l = fit_block(f.get("record"), prop, block)
            if "gas_fixed" in block:
                g = block["gas_fixed"]
            gas_lo, gas_hi = block["gas_range"] if block["gas"] or "gas_fixed" in block else ("kNone", "kNone")
            liq_lo, liq_hi = block["liq_range"] if block["liq"] else ("kNone", "kNone")
            blocks.append("{%d, %s, %s, {%s}, %s, %s, {%s}}" % (
                block["form"], fmt(gas_lo), fmt(gas_hi), ", ".join(fmt(x) for x in g),
                fmt(liq_lo), fmt(liq_hi), ", ".join(fmt(x) for x in l)))
        print("    {%d," % f["number"])
        for b in blocks:
            print("     %s," % b)
        print("    },")


if __name__ == "__main__":
    main()
