#!/usr/bin/env python3
"""Recomputes a sweep's summary.csv from its bd-rate.csv, independently of the
program, and compares the two to 1e-12 (relative, or absolute near zero).

usage: check_summary.py BD_RATE_CSV SUMMARY_CSV
Exit status 0 when they agree, 1 with the first difference otherwise."""
import csv
import sys

MASK = (1 << 64) - 1
SEED = 0x9E3779B97F4A7C15
RESAMPLES = 10000


class SplitMix64:
    def __init__(self, seed):
        self.state = seed

    def next(self):
        self.state = (self.state + 0x9E3779B97F4A7C15) & MASK
        z = self.state
        z = ((z ^ (z >> 30)) * 0xBF58476D1CE4E5B9) & MASK
        z = ((z ^ (z >> 27)) * 0x94D049BB133111EB) & MASK
        return z ^ (z >> 31)

    def below(self, count):
        return (self.next() * count) >> 64


def statistics(rates):
    n = len(rates)
    ordered = sorted(rates)
    median = ordered[n // 2] if n % 2 else (ordered[n // 2 - 1] + ordered[n // 2]) / 2
    draws = SplitMix64(SEED)
    means = sorted(sum(rates[draws.below(n)] for _ in range(n)) / n for _ in range(RESAMPLES))
    return [sum(rates) / n, median, means[249], means[9750]]


def recompute(bd_rate_path):
    with open(bd_rate_path, newline="") as f:
        rows = list(csv.reader(f))
    header = rows[0]
    # The family's columns lie between the image and the reference.
    key_end = header.index("measure") + 1
    groups = {}
    for row in rows[1:]:
        rates = groups.setdefault(tuple(row[1:key_end]), [])
        if row[header.index("bd_rate")] != "":
            rates.append(float(row[header.index("bd_rate")]))
    expected = [header[1:key_end] + ["images", "mean", "median", "ci_low", "ci_high"]]
    for key, rates in groups.items():
        expected.append(list(key) + [str(len(rates))] + (statistics(rates) if rates else [""] * 4))
    return expected


def agree(want, got):
    if isinstance(want, str) or want == "":
        return want == got
    value = float(got)
    return abs(value - want) <= 1e-12 * max(1.0, abs(want))


def main():
    expected = recompute(sys.argv[1])
    with open(sys.argv[2], newline="") as f:
        written = list(csv.reader(f))
    if len(written) != len(expected):
        print(f"{len(written)} lines written, {len(expected)} expected")
        return 1
    for line, (want_row, got_row) in enumerate(zip(expected, written), start=1):
        if len(want_row) != len(got_row) or not all(agree(w, g) for w, g in zip(want_row, got_row)):
            print(f"line {line}: written {got_row}, expected {want_row}")
            return 1
    print(f"{len(expected) - 1} rows agree")
    return 0


if __name__ == "__main__":
    sys.exit(main())
