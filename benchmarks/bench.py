#!/usr/bin/env python3
"""Measures the self-extractor against the tools a user would pick instead,
side by side in one run, and writes docs/benchmarks.md with a chart.

Run through scripts/bench, which builds what this needs first."""
import os
import platform
import random
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, 'build')
WORK = os.path.join(BUILD, 'bench', 'work')
PREFIX = os.path.join(BUILD, 'bench', 'wineprefix')
DOCS = os.path.join(ROOT, 'docs')
RUNS = int(os.environ.get('MRV_BENCH_RUNS', '5'))
PAUSE_MS = 500.0  # the stub's fixed pause with the full bar
DATE = (2006, 11, 9, 14, 30, 58)

STUB = os.path.join(BUILD, 'win32', 'mrvsfx.exe')
PROBE = os.path.join(BUILD, 'win32', 'tests', 'probe_setup.exe')
MEASURE = os.path.join(BUILD, 'win32', 'benchmarks', 'measure.exe')
MINIUNZ = os.path.join(BUILD, 'win32', 'benchmarks', 'miniunz.exe')
LAUNCHER = os.path.join(BUILD, 'win32', 'benchmarks', 'minimal_launcher.exe')
FILE_COST = os.path.join(BUILD, 'win32', 'benchmarks', 'file_cost.exe')
PACK = os.path.join(BUILD, 'bench', 'mrvsfx-pack')
FLOOR = os.path.join(BUILD, 'bench', 'benchmarks', 'inflate_floor')


def wine_env(**extra):
    env = dict(os.environ, WINEPREFIX=PREFIX, WINEARCH='win32', WINEDEBUG='-all',
               WINEDLLOVERRIDES='mscoree,mshtml=')
    env.update(extra)
    return env


def windows_path(path):
    return 'Z:' + path.replace('/', '\\')


def run(command, env=None, cwd=None):
    # Output through a file, not a pipe: Wine's own services, started on
    # demand, inherit the pipe and would keep it open.
    with tempfile.TemporaryFile(mode='w+') as out:
        code = subprocess.run(command, env=env, cwd=cwd, stdout=out, stderr=subprocess.STDOUT,
                              stdin=subprocess.DEVNULL).returncode
        out.seek(0)
        text = out.read()
    if code != 0:
        raise SystemExit('failed: %s\n%s' % (' '.join(command), text))
    return text


def values(text):
    found = {}
    for token in text.replace('\n', ' ').split():
        if '=' in token:
            key, value = token.split('=', 1)
            found[key] = value
    return found


def text_block():
    """2 MB of text-like words, made once."""
    if not hasattr(text_block, 'block'):
        rng = random.Random(0)
        words = [b'morvel', b'setup', b'cabinet', b'folder', b'entry', b'window', b'progress', b'archive',
                 b'install', b'component', b'feature', b'resource', b'\n']
        text_block.block = b' '.join(rng.choice(words) for _ in range(400000))[:2 << 20]
    return text_block.block


def text_bytes(size, seed):
    """Compressible bytes: the text block from a place that depends on the seed."""
    block = text_block()
    start = (seed * 7919) % len(block)
    rotated = block[start:] + block[:start]
    return (rotated * (size // len(rotated) + 1))[:size]


def noise_bytes(size, seed):
    return random.Random(seed).randbytes(size)


def write_archive(path, entries):
    with zipfile.ZipFile(path, 'w') as archive:
        for name, data, stored in entries:
            info = zipfile.ZipInfo(name, DATE)
            info.compress_type = zipfile.ZIP_STORED if stored else zipfile.ZIP_DEFLATED
            archive.writestr(info, data, compresslevel=6)


def make_shapes():
    probe = open(PROBE, 'rb').read()
    rng = random.Random(7)
    shapes = {
        'base': [('mrv.exe', probe, False)],
        'a': [('mrv.exe', probe + text_bytes(3 << 20, 1), False), ('mrv.cab', noise_bytes(120 << 20, 2), True),
              ('mrv.cfg', text_bytes(2000, 3), False)],
        'b': [('mrv.exe', probe, False), ('data.bin', text_bytes(60 << 20, 4), False)],
        'c': [('mrv.exe', probe, False)] +
             [('f%04d.dat' % i, text_bytes(rng.randint(512, 8192), i), False) for i in range(5000)],
    }
    made = {}
    for name, entries in shapes.items():
        archive = os.path.join(WORK, name + '.zip')
        sfx = os.path.join(WORK, name + '.exe')
        if not os.path.exists(sfx):
            write_archive(archive, entries)
            run([PACK, '--stub', STUB, archive, '-o', sfx])
        made[name] = {'archive': archive, 'sfx': sfx, 'bytes': sum(len(e[1]) for e in entries),
                      'entries': len(entries)}
    return made


def fresh(folder):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    return folder


def ticks_ms(later, earlier):
    return (int(later) - int(earlier)) / 10000.0


def run_sfx(sfx):
    report = os.path.join(WORK, 'report.txt')
    if os.path.exists(report):
        os.remove(report)
    outer = values(run(['wine', MEASURE, windows_path(sfx)], env=wine_env(MRV_PROBE_REPORT=windows_path(report))))
    seen = values(open(report).read())
    return {'to_setup_ms': ticks_ms(seen['started'], seen['parent_created']) - PAUSE_MS,
            'peak_ws': int(seen['parent_peak_ws']), 'total_ms': float(outer['elapsed_ms'])}


def run_miniunz(archive):
    out = fresh(os.path.join(WORK, 'miniunz-out'))
    found = values(run(['wine', MEASURE, windows_path(MINIUNZ), '-x', '-o', windows_path(archive), '-d',
                        windows_path(out)], env=wine_env()))
    return {'ms': float(found['elapsed_ms']), 'peak_ws': int(found['peak_ws'])}


def run_unzip(archive):
    out = fresh(os.path.join(WORK, 'unzip-out'))
    start = time.perf_counter()
    subprocess.run(['unzip', '-qo', archive, '-d', out], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return {'ms': (time.perf_counter() - start) * 1000.0}


def run_floor(archive):
    out = fresh(os.path.join(WORK, 'floor-out'))
    return {'ms': float(values(run([FLOOR, archive, out]))['elapsed_ms'])}


def run_launcher():
    folder = fresh(os.path.join(WORK, 'launcher'))
    shutil.copy(LAUNCHER, os.path.join(folder, 'launcher.exe'))
    shutil.copy(PROBE, os.path.join(folder, 'mrv.exe'))
    report = os.path.join(WORK, 'report.txt')
    run(['wine', os.path.join(folder, 'launcher.exe')], env=wine_env(MRV_PROBE_REPORT=windows_path(report)))
    seen = values(open(report).read())
    return {'to_setup_ms': ticks_ms(seen['started'], seen['parent_created']), 'peak_ws': int(seen['parent_peak_ws'])}


def summary(samples):
    return {'median': statistics.median(samples), 'min': min(samples), 'max': max(samples)}


def fmt(s, unit='ms'):
    return '%.0f %s (%.0f–%.0f)' % (s['median'], unit, s['min'], s['max'])


def main():
    for tool in (STUB, PROBE, MEASURE, MINIUNZ, LAUNCHER, FILE_COST, PACK, FLOOR):
        if not os.path.exists(tool):
            raise SystemExit('missing %s: run scripts/bench' % tool)
    os.makedirs(WORK, exist_ok=True)
    run([os.path.join(ROOT, 'scripts', 'wine-prefix'), PREFIX], env=wine_env())
    # A wine server kept up for the whole run, so no contender pays its start.
    server = subprocess.Popen(['wineserver', '-f', '-p'], env=wine_env())
    time.sleep(1)
    try:
        shapes = make_shapes()
        print('shapes ready', file=sys.stderr)
        results = {}
        for name in ('base', 'a', 'b', 'c'):
            shape = shapes[name]
            samples = {'sfx': [], 'sfx_ws': [], 'miniunz': [], 'miniunz_ws': [], 'unzip': [], 'floor': []}
            for round_number in range(RUNS):
                order = ['sfx', 'miniunz', 'unzip', 'floor']
                order = order[round_number % 4:] + order[:round_number % 4]
                for contender in order:
                    # Each contender starts with the previous one's writes on disk.
                    os.sync()
                    if contender == 'sfx':
                        r = run_sfx(shape['sfx'])
                        samples['sfx'].append(r['to_setup_ms'])
                        samples['sfx_ws'].append(r['peak_ws'])
                    elif contender == 'miniunz':
                        r = run_miniunz(shape['archive'])
                        samples['miniunz'].append(r['ms'])
                        samples['miniunz_ws'].append(r['peak_ws'])
                    elif contender == 'unzip':
                        samples['unzip'].append(run_unzip(shape['archive'])['ms'])
                    else:
                        samples['floor'].append(run_floor(shape['archive'])['ms'])
            results[name] = {k: summary(v) for k, v in samples.items()}
            print('shape %s done' % name, file=sys.stderr)
        launcher_runs = [run_launcher() for _ in range(RUNS)]
        launcher = summary([r['to_setup_ms'] for r in launcher_runs])
        launcher_ws = summary([r['peak_ws'] for r in launcher_runs])
        files_dir = fresh(os.path.join(WORK, 'files'))
        wine_files = summary([float(values(run(['wine', FILE_COST, windows_path(fresh(files_dir)), '5000', '4096'],
                                                  env=wine_env()))['elapsed_ms']) for _ in range(RUNS)])
        native_files = summary([native_file_cost(fresh(files_dir)) for _ in range(RUNS)])
    finally:
        server.terminate()
        subprocess.run(['wineserver', '-k'], env=wine_env())
    write_report(shapes, results, launcher, launcher_ws, wine_files, native_files)


def native_file_cost(folder):
    data = b'x' * 4096
    start = time.perf_counter()
    for i in range(5000):
        path = os.path.join(folder, 'f%d.bin' % i)
        with open(path, 'wb') as f:
            f.write(data)
        os.utime(path, (1163082600, 1163082600))
    return (time.perf_counter() - start) * 1000.0


def machine():
    cpu = 'unknown'
    for line in open('/proc/cpuinfo'):
        if line.startswith('model name'):
            cpu = line.split(':', 1)[1].strip()
            break
    def version(command):
        try:
            return subprocess.run(command, capture_output=True, text=True).stdout.splitlines()[0].strip()
        except (OSError, IndexError):
            return 'unknown'
    return {'cpu': cpu, 'cores': os.cpu_count(), 'os': platform.platform(),
            'wine': version(['wine', '--version']), 'gcc': version(['i686-w64-mingw32-g++-posix', '--version']),
            'unzip': version(['unzip', '-v'])}


def write_report(shapes, results, launcher, launcher_ws, wine_files, native_files):
    base = results['base']
    start_up = base['sfx']['median']
    miniunz_start = base['miniunz']['median']
    stub_size = os.path.getsize(STUB)
    goals = {'a': 0.8, 'b': 0.8, 'c': 0.5}
    rows, ratios = [], []
    for name in ('a', 'b', 'c'):
        r = results[name]
        sfx_net = r['sfx']['median'] - start_up
        miniunz_net = r['miniunz']['median'] - miniunz_start
        ratio = sfx_net / miniunz_net if miniunz_net > 0 else float('nan')
        ratios.append((name, ratio, goals[name]))
        rows.append('| %s | %s | %.0f ms | %s | %.0f ms | %s | %s | %.2f× (goal ≤ %.1f×) %s |' % (
            name, fmt(r['sfx']), sfx_net, fmt(r['miniunz']), miniunz_net, fmt(r['unzip']), fmt(r['floor']),
            ratio, goals[name], 'met' if ratio <= goals[name] else 'not met'))
    ws_rows = []
    for name in ('base', 'a', 'b', 'c'):
        r = results[name]
        ws_rows.append('| %s | %.1f MiB | %.1f MiB | %s |' % (
            name, r['sfx_ws']['median'] / 2**20, r['miniunz_ws']['median'] / 2**20,
            'met' if r['sfx_ws']['median'] <= r['miniunz_ws']['median'] else 'not met'))
    m = machine()
    wine_per_file = wine_files['median'] / 5000
    native_per_file = native_files['median'] / 5000
    c_net = results['c']['sfx']['median'] - start_up
    shape_text = {
        'a': 'setup-like: 3 MB deflated mrv.exe, 120 MB stored mrv.cab, small deflated mrv.cfg',
        'b': 'deflate-heavy: 60 MB of compressible data in one entry',
        'c': 'many files: 5,000 entries of 0.5 to 8 KB',
        'base': 'the probe setup program alone (start-up reference)'}
    lines = [
        '# Benchmarks',
        '',
        'Made by `bash scripts/bench` (it builds what it needs, then runs `benchmarks/bench.py`; '
        '`MRV_BENCH_RUNS` sets the runs per contender, %d here). Every contender reads the same archive '
        'on the same disk; the runs alternate between contenders, and each figure is the median with the '
        'minimum and maximum in brackets.' % RUNS,
        '',
        '## Machine',
        '',
        '- CPU: %s, %s cores; %s' % (m['cpu'], m['cores'], m['os']),
        '- %s; %s; %s' % (m['wine'], m['gcc'], m['unzip']),
        '',
        '## Payload shapes',
        '',
    ] + ['- **%s**: %s; %d entries, %.1f MB unpacked.' % (n, shape_text[n], shapes[n]['entries'],
                                                           shapes[n]['bytes'] / 1e6) for n in ('a', 'b', 'c', 'base')] + [
        '',
        '## Contenders',
        '',
        '- **self-extractor**: the stub with the payload appended, under Wine; time from its process start to the '
        'start of the setup program, which a probe `mrv.exe` records, with the fixed %.0f ms pause taken out.' % PAUSE_MS,
        '- **miniunz**: minizip\'s own command-line unpacker, built for Windows from the same Debian source '
        'package and run under the same Wine, timed from its process start to its end.',
        '- **unzip**: Info-ZIP unzip natively on Linux, the platform\'s reference.',
        '- **floor**: inflating and writing the same entries natively with zlib (through minizip), nothing else.',
        '',
        'Net figures take out each Wine contender\'s own start-up, measured on the probe-only payload: '
        '%.0f ms for the self-extractor (process start to setup start), %.0f ms for miniunz.' % (start_up, miniunz_start),
        '',
        '## Extraction time',
        '',
        '| shape | self-extractor | net | miniunz | net | unzip (native) | floor (native) | net ratio to miniunz |',
        '| --- | --- | --- | --- | --- | --- | --- | --- |',
    ] + rows + [
        '',
        '![Net extraction time of the self-extractor as a share of miniunz\'s, per shape](benchmarks.png)',
        '',
        '## Start-up',
        '',
        '- Self-extractor, process start to setup start, pause excluded, probe-only payload: %s.' % fmt(base['sfx']),
        '- A minimal window program that opens a window and starts the same probe: %s.' % fmt(launcher),
        '- Goal: no more than the minimal program: %s.' % ('met' if base['sfx']['median'] <= launcher['median'] else
                                                           'not met (%.0f ms more)' % (base['sfx']['median'] - launcher['median'])),
        '',
        '## Memory',
        '',
        'Peak working set, as the probe reads it from its parent (`GetProcessMemoryInfo`) and as `measure.exe` '
        'samples it for miniunz while it runs. Goal: at most miniunz\'s. For scale: the minimal window program '
        'peaks at %.1f MiB, so under Wine that much comes with opening a window at all (user32, the X11 '
        'driver and its libraries), which the console program miniunz never does.' % (launcher_ws['median'] / 2**20),
        '',
        '| shape | self-extractor | miniunz | goal |',
        '| --- | --- | --- | --- |',
    ] + ws_rows + [
        '',
        '## Size',
        '',
        '- Stub, stripped, no packer: %d bytes (goal ≤ 65,536: %s).' % (stub_size, 'met' if stub_size <= 65536 else 'not met'),
        '',
        '## Wine\'s own share on many files',
        '',
        'Making 5,000 files of 4 KB with the calls the stub uses (create, write, close, open again and set the '
        'time) costs %.2f ms a file under Wine against %.3f ms natively (%s and %s for all). For shape c that is '
        'about %.0f ms of Wine\'s own file handling in the self-extractor\'s net %.0f ms.' % (
            wine_per_file, native_per_file, fmt(wine_files), fmt(native_files), wine_per_file * 5000, c_net),
        '',
    ]
    os.makedirs(DOCS, exist_ok=True)
    with open(os.path.join(DOCS, 'benchmarks.md'), 'w') as f:
        f.write('\n'.join(lines))
    data = os.path.join(WORK, 'ratios.dat')
    with open(data, 'w') as f:
        for name, ratio, goal in ratios:
            f.write('%s %.3f %.2f\n' % (name, ratio, goal))
    subprocess.run(['gnuplot', '-e', (
        "set terminal pngcairo size 720,360; set output '%s';"
        "set title 'Net extraction time, self-extractor / miniunz (lower is better)';"
        "set style data histograms; set style fill solid 0.8; set boxwidth 0.6; set yrange [0:*];"
        "set ylabel 'ratio'; set key outside right top;"
        "plot '%s' using 2:xtic(1) title 'measured' lc rgb '#184e96', '' using 3 title 'goal' lc rgb '#fabe28'"
    ) % (os.path.join(DOCS, 'benchmarks.png'), data)], check=False)
    print('\n'.join(lines))


if __name__ == '__main__':
    main()
