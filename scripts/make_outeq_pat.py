#!/usr/bin/env python3
"""Writes resources/pat/outeq.pat, the output EQ graph's curve templates.

The file holds, one number per field, separated by commas and line ends:
  - the 54 band frequencies in Hz (EQFreqTbl of src/data/Tables.h),
  - the 24 Q values (EQQTbl of the same header),
  - 601 rows, one per graph column x = 0..600 (200 columns per decade from
    20 Hz, column x at f = 20 * 10^(x / 200) Hz): f, then five templates
    in dB.

The templates are the magnitude responses of the analogue second-order
prototypes (the s-domain forms of the RBJ audio EQ cookbook), evaluated at
s = j * w with w = f / f0. Analogue rather than digital biquads because the
graph shows the bell as symmetric about its centre on the log axis and
shifts one template along it, which only the analogue forms satisfy exactly.
With A = 10^(10 / 40) (+10 dB):

  0  peaking bell, +10 dB, Q = 1, as a half bell: row j is the response at
     j columns from the centre, w = 10^(j / 200):
         H(s) = (s^2 + s * A / Q + 1) / (s^2 + s / (A * Q) + 1)
  1  high-pass at f0 = 1 kHz, Q = 1/sqrt(2):  H(s) = s^2 / (s^2 + s / Q + 1)
  2  low-pass at f0 = 1 kHz, Q = 1/sqrt(2):   H(s) = 1 / (s^2 + s / Q + 1)
  3  low shelf, +10 dB at f0 = 1 kHz, Q = 1/sqrt(2):
         H(s) = A * (s^2 + s * sqrt(A) / Q + A) / (A * s^2 + s * sqrt(A) / Q + 1)
  4  high shelf, +10 dB at f0 = 1 kHz, Q = 1/sqrt(2):
         H(s) = A * (A * s^2 + s * sqrt(A) / Q + 1) / (s^2 + s * sqrt(A) / Q + A)

Templates 1 to 4 are indexed by the graph column x itself. Standard library
only; run from anywhere:  python3 scripts/make_outeq_pat.py
"""

import math
import os
import re

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TABLES = os.path.join(ROOT, "src", "data", "Tables.h")
OUT = os.path.join(ROOT, "resources", "pat", "outeq.pat")

COLUMNS = 601
A = 10 ** (10 / 40)
BUTTERWORTH_Q = 1 / math.sqrt(2)


def table(text, name):
    """The numbers of the brace list that follows `name` in the header."""
    m = re.search(re.escape(name) + r"\s*\{([^}]*)\}", text)
    return [float(v) for v in re.findall(r"[0-9]+(?:\.[0-9]+)?", m.group(1))]


def db(h):
    return 20 * math.log10(abs(h))


def peaking(w, q=1.0):
    s = 1j * w
    return (s * s + s * A / q + 1) / (s * s + s / (A * q) + 1)


def high_pass(w, q=BUTTERWORTH_Q):
    s = 1j * w
    return s * s / (s * s + s / q + 1)


def low_pass(w, q=BUTTERWORTH_Q):
    s = 1j * w
    return 1 / (s * s + s / q + 1)


def low_shelf(w, q=BUTTERWORTH_Q):
    s = 1j * w
    r = math.sqrt(A) / q
    return A * (s * s + s * r + A) / (A * s * s + s * r + 1)


def high_shelf(w, q=BUTTERWORTH_Q):
    s = 1j * w
    r = math.sqrt(A) / q
    return A * (A * s * s + s * r + 1) / (s * s + s * r + A)


def number(v):
    return "%.10g" % v


def main():
    with open(TABLES, encoding="utf-8") as f:
        header = f.read()
    freqs = table(header, "EQFreqTbl")
    qs = table(header, "EQQTbl")
    assert len(freqs) == 54 and len(qs) == 24, (len(freqs), len(qs))

    lines = [number(v) for v in freqs] + [number(v) for v in qs]
    for x in range(COLUMNS):
        f = 20 * 10 ** (x / 200)
        w = f / 1000
        row = [f, db(peaking(10 ** (x / 200))), db(high_pass(w)), db(low_pass(w)), db(low_shelf(w)), db(high_shelf(w))]
        lines.append(",".join(number(v) for v in row))

    os.makedirs(os.path.dirname(OUT), exist_ok=True)
    with open(OUT, "w", encoding="ascii", newline="\r\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
