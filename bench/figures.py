"""The table bench/all.sh prints: every figure of one run, with its reference and the ratio where one exists.

figures.py RESULTS_DIR RUNS
"""
import json
import os
import statistics
import sys

out, runs = sys.argv[1], int(sys.argv[2])

UNIT_SECONDS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}


def load_benchmarks():
    """Seconds per run of every benchmark (the median where it was repeated), and its counters."""
    found = {}
    for name in sorted(os.listdir(out)):
        if not name.endswith(".json"):
            continue
        with open(os.path.join(out, name)) as f:
            data = json.load(f)
        for b in data["benchmarks"]:
            if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
                continue
            run = b.get("run_name", b["name"]).split("/iterations:")[0]
            if b.get("error_occurred"):
                sys.exit(f"bench: {run} failed: {b.get('error_message')}")
            if run in found and b.get("run_type") != "aggregate":
                continue  # a repetition; its median comes later
            found[run] = (b["real_time"] * UNIT_SECONDS[b["time_unit"]], b)
    return found


def startups(program):
    shown, peak, cpu = [], [], []
    with open(os.path.join(out, program + ".startup")) as f:
        for line in f:
            fields = dict(item.split("=") for item in line.split())
            shown.append(float(fields["shown_ms"]) / 1000)
            peak.append(float(fields["peak_kib"]) * 1024)
            cpu.append(float(fields["cpu_ms"]) / 1000)
    return statistics.median(shown), statistics.median(peak), statistics.median(cpu)


def duration(seconds):
    if seconds < 1e-3:
        return f"{seconds * 1e6:.1f} µs"
    if seconds < 1:
        return f"{seconds * 1e3:.1f} ms"
    return f"{seconds:.2f} s"


def mebibytes(n):
    return f"{n / 1048576:.1f} MiB"


rows = []


def row(what, value, reference=None, fmt=duration):
    ratio = f"{value / reference:.2f}" if reference else ""
    rows.append((what, fmt(value), fmt(reference) if reference else "", ratio))


kov_shown, kov_peak, kov_cpu = startups("kov")
bare_shown, bare_peak, bare_cpu = startups("kov_bare_window")
row(f"Start-up to the shown main window (median of {runs}; reference: a bare Qt window with the same menus)",
    kov_shown, bare_shown)
row("Processor time used by then, all threads (same reference; other work on the machine hardly moves it)", kov_cpu,
    bare_cpu)
row("Peak memory one second after it is shown (VmHWM; same reference)", kov_peak, bare_peak, mebibytes)

bench = load_benchmarks()
used = set()


def time_of(run):
    used.add(run)
    return bench[run][0]


row("Open a full project (reference: reading the file's bytes)", time_of("BM_OpenProject"),
    time_of("BM_ReadProjectBytes"))
row("Save it, written whole and synced (reference: the same bytes saved the same way)", time_of("BM_SaveProject"),
    time_of("BM_SaveProjectBytes"))
fit = bench["BM_RunFit"][1]
row(f"The fit of one channel without pacing ({fit.get('frames', 0):.0f} frames)", time_of("BM_RunFit"))
importers = [("dsp30", "DSP30 text export"), ("ie45", "IE-45 file"), ("paa3", "PAA3 file, ten records"),
             ("bk2250_xls", "B&K 2250 workbook (.xls)"), ("bk2250_xlsx", "B&K 2250 workbook (.xlsx)"),
             ("excel_xls", "KOV data sheet workbook (.xls)"), ("excel_xlsx", "KOV data sheet workbook (.xlsx)")]
for key, label in importers:
    row(f"Import: {label}, file to tests", time_of(f"BM_Read/{key}"))
ld824 = bench["BM_Ld824TenFiles"][1]
used.add("BM_Ld824TenFiles")
row("LD824 download of ten files at 9600 baud (reference: the bytes at ten bits each plus the protocol's pauses)",
    ld824["seconds"], ld824["floor_seconds"])
row("The report of a full project to PDF (6 masking and 2 paging channels, 4 pages)", time_of("BM_ReportToPdf"))
row("Spectrum database read (21 spectra)", time_of("BM_ParseSpectrumDatabase"))
row("Spectrum database written", time_of("BM_WriteSpectrumDatabase"))
row("A-weighted level of a test grid", time_of("BM_AWeightedLevel"))
search = bench["BM_SearchFoldersNotThere"][1]
row(f"Locate MG24 Software, file not there ({search.get('folders', 0):.0f} folders, link cycles)",
    time_of("BM_SearchFoldersNotThere"))
for run in sorted(set(bench) - used):
    row(run, bench[run][0])

cpu = next((line.split(":", 1)[1].strip() for line in open("/proc/cpuinfo") if line.startswith("model name")), "?")
print(f"KOV figures: Release build, {cpu}, {os.cpu_count()} cores; Xvfb with openbox.\n")
print("| Figure | KOV | Reference | Ratio |")
print("|---|---:|---:|---:|")
for what, value, reference, ratio in rows:
    print(f"| {what} | {value} | {reference} | {ratio} |")
