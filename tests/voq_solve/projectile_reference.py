#!/usr/bin/env python3
"""Closed-form drag-free projectile (independent of voq-solve).

Launched at angle theta (degrees) with speed v0 from height h0 above level
ground, gravity g:
  vx = v0 cos(theta), vy = v0 sin(theta)
  time of flight: the positive root of h0 + vy t - g t^2 / 2 = 0,
    t_f = (vy + sqrt(vy^2 + 2 g h0)) / g
  range R = vx t_f
  highest point H = h0 + vy^2 / (2 g) for vy > 0, else h0 (a downward throw
    starts at its highest point)
Prints theta, R, t_f, H per launch angle, as the table test expects them.
"""
import math

v0, h0, g = 20.0, 5.0, 9.80665
for theta in (-10, 15, 30, 45, 60):
    a = math.radians(theta)
    vx, vy = v0 * math.cos(a), v0 * math.sin(a)
    t_f = (vy + math.sqrt(vy * vy + 2 * g * h0)) / g
    H = h0 + (vy * vy / (2 * g) if vy > 0 else 0.0)
    print(f"{theta},{vx * t_f!r},{t_f!r},{H!r}")
