#!/usr/bin/env python3
"""Mutation runner: how many single faults planted in the product code do the unit tests catch?

  scripts/mutate.py [--seed N] [--count N] [--build DIR] [--only FOLDER...] [--out FILE]
                    [--compare OLD.json] [--list]

With a fixed seed it picks COUNT single mutations of the product's .cc files that the Linux
build compiles, spread over the folders by their size: a comparison or logical operator
flipped, + and - swapped, an integer constant changed by one, an if or while condition
negated, a statement removed, a returned failure turned into Status::OK(). One at a time, it
writes the mutation, rebuilds incrementally (ninja, -O0, in build-mutate/ by default), runs
every unit-test executable built from the mutated file (the mutated folder's own first, stopping at
the first failing test) and puts the file back. A mutant is killed when a test fails, crashes
or runs past its time limit; one that does not compile is stillborn and not counted.

Prints a line per mutant, then the share killed per folder and the survivors. --out keeps the
results as JSON; --compare OLD.json also prints the earlier figures and the mutants the earlier
tests killed that survive now. The product files are restored even when interrupted; if the
runner is killed outright, `git checkout -- FILE` restores the one file it had changed.
"""
import argparse
import json
import os
import random
import re
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FOLDERS = ['app', 'component', 'contract', 'generator', 'html', 'pagehost', 'platform',
           'translator', 'wizard']
KEYWORDS = {'return', 'break', 'continue', 'case', 'default', 'goto', 'throw', 'co_return',
            'const', 'constexpr', 'static', 'auto', 'using', 'typedef', 'struct', 'class',
            'enum', 'namespace', 'template', 'friend', 'public', 'private', 'protected',
            'delete', 'new', 'else', 'do'}
MIN_PER_FOLDER = 8


def masked(text):
    """The text with comments, string and character literals and preprocessor lines blanked
    out (same length, newlines kept), so operators are only found in code."""
    out = list(text)
    i, n = 0, len(text)
    line_start = True
    while i < n:
        c = text[i]
        if line_start and c in ' \t':
            i += 1
            continue
        if line_start and c == '#':
            j = i
            while j < n and (text[j] != '\n' or text[j - 1] == '\\'):
                j += 1
            for k in range(i, j):
                out[k] = ' '
            i = j
            continue
        line_start = c == '\n'
        if text.startswith('//', i):
            j = text.find('\n', i)
            j = n if j < 0 else j
            for k in range(i, j):
                out[k] = ' '
            i = j
        elif text.startswith('/*', i):
            j = text.find('*/', i + 2)
            j = n if j < 0 else j + 2
            for k in range(i, j):
                if out[k] != '\n':
                    out[k] = ' '
            i = j
        elif c in '"\'' and not (c == "'" and i > 0 and text[i - 1].isdigit()):
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == '\\' else 1
            for k in range(i + 1, min(j, n)):
                out[k] = '_'
            i = j + 1
        else:
            i += 1
    return ''.join(out)


def matching_paren(code, open_at):
    depth = 0
    for k in range(open_at, len(code)):
        if code[k] == '(':
            depth += 1
        elif code[k] == ')':
            depth -= 1
            if depth == 0:
                return k
    return -1


FLIPS = {' == ': ' != ', ' != ': ' == ', ' < ': ' <= ', ' <= ': ' < ', ' > ': ' >= ',
         ' >= ': ' > ', ' && ': ' || ', ' || ': ' && ', ' + ': ' - ', ' - ': ' + '}
STATEMENT = re.compile(r'^([ \t]*)(\*?[A-Za-z_]\w*(?:::\w+)*)(?:\.|->|\(|\[|\s*(?:[-+*/|&]?=)\s)'
                       r'.*;[ \t]*$', re.M)


def candidates(path, text):
    """Every mutation site of one file: (start, end, replacement, kind)."""
    code = masked(text)
    sites = []
    for op, to in FLIPS.items():
        for m in re.finditer(re.escape(op), code):
            kind = 'arith' if op.strip() in '+-' else 'logic' if op.strip() in ('&&', '||') \
                else 'cmp'
            sites.append((m.start(), m.end(), to, kind))
    for m in re.finditer(r'(?<![\w.])(\d+)(?![\w.\'])', code):
        value = int(m.group(1))
        sites.append((m.start(), m.end(), str(value + 1 if value == 0 or m.start() % 2 else
                                              value - 1), 'const'))
    for m in re.finditer(r'\b(if|while) \(', code):
        open_at = m.end() - 1
        close = matching_paren(code, open_at)
        if close > 0:
            # In "if (init; condition)" only the condition is negated.
            cond = open_at + 1 + code[open_at + 1:close].rfind(';') + 1
            while code[cond] == ' ':
                cond += 1
            sites.append((cond, close, '!(' + text[cond:close] + ')', 'negate'))
    for m in STATEMENT.finditer(code):
        body = m.group(0).strip()
        if m.group(2) in KEYWORDS or body.count('(') != body.count(')') or '{' in body:
            continue
        before = code[:m.start()].rstrip()
        if before and before[-1] not in ';{}:)':
            continue  # the rest of a statement begun on an earlier line
        start = m.start() + len(m.group(1))
        sites.append((start, m.end(), ';', 'delete'))
    status_names = set(re.findall(r'\bStatus\s+(\w+)\s*[=;({]', code))
    for m in re.finditer(r'\breturn\s+', code):
        end = code.find(';', m.end())
        expr = code[m.end():end].strip()
        if expr.startswith('Status::OK'):
            continue
        if (re.match(r'(Status::\w+|ErrnoStatus|\w+Status)\(', expr) or expr in status_names):
            sites.append((m.end(), end, 'Status::OK()', 'status'))
    return sites


def product_files(build):
    """The product .cc files the build compiles, by folder."""
    with open(os.path.join(build, 'compile_commands.json')) as f:
        compiled = {os.path.relpath(e['file'], ROOT) for e in json.load(f)}
    files = {}
    for rel in sorted(compiled):
        top = rel.split(os.sep)[0]
        name = os.path.basename(rel)
        if top in FOLDERS and rel.endswith('.cc') and 'test' not in name.lower():
            files.setdefault(top, []).append(rel)
    return files


def choose(files, count, seed):
    """COUNT mutants spread over the folders by code size (at least MIN_PER_FOLDER each)."""
    rng = random.Random(seed)
    per_folder, sizes = {}, {}
    for folder, rels in files.items():
        sites = []
        for rel in rels:
            with open(os.path.join(ROOT, rel), encoding='utf-8', errors='surrogateescape') as f:
                text = f.read()
            sites += [(rel,) + s for s in candidates(rel, text)]
            sizes[folder] = sizes.get(folder, 0) + sum(1 for l in text.splitlines() if l.strip())
        per_folder[folder] = sites
    total = sum(sizes.values())
    chosen = []
    for folder in sorted(per_folder):
        want = max(MIN_PER_FOLDER, round(count * sizes[folder] / total))
        sites = per_folder[folder]
        chosen += rng.sample(sites, min(want, len(sites)))
    chosen.sort()
    return [{'file': c[0], 'start': c[1], 'end': c[2], 'to': c[3], 'kind': c[4]} for c in chosen]


def run(cmd, cwd=None, timeout=None):
    return subprocess.run(cmd, cwd=cwd, timeout=timeout, stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, text=True, errors='replace')


def test_targets(build):
    out = run(['ninja', '-C', build, '-t', 'targets', 'all']).stdout
    return sorted({line.split(':')[0] for line in out.splitlines()
                   if re.match(r'^\w+/\w+_tests:', line)})


def reached(build, targets):
    """For each source file, the test executables built from it (directly or via a library)."""
    users = {}
    for exe in targets:
        for line in run(['ninja', '-C', build, '-t', 'inputs', exe]).stdout.splitlines():
            if line.endswith('.cc'):
                users.setdefault(os.path.relpath(line, ROOT), []).append(exe)
    return users


def run_tests(build, exe, timeout):
    path = os.path.join(build, exe)
    try:
        result = run([path, '--gtest_brief=1', '--gtest_fail_fast'], cwd=os.path.dirname(path),
                     timeout=timeout)
    except subprocess.TimeoutExpired:
        return 'timeout'
    if result.returncode == 0:
        return None
    failed = re.findall(r'\[  FAILED  \] (\S+)', result.stdout)
    return failed[0] if failed else 'exit %d' % result.returncode


def configure(build):
    if not os.path.exists(os.path.join(build, 'build.ninja')):
        subprocess.run(['cmake', '-S', ROOT, '-B', build, '-G', 'Ninja',
                        '-DCMAKE_BUILD_TYPE=Debug', '-DCMAKE_CXX_FLAGS_DEBUG=-O0',
                        '-DVORLINTEX_BENCH=OFF'], check=True, stdout=subprocess.DEVNULL)


def describe(m, text):
    line = text.count('\n', 0, m['start']) + 1
    before = text[m['start']:m['end']]
    if len(before) > 50:
        before = before[:47] + '...'
    to = m['to'].strip()
    return '%s:%d %s %r -> %r' % (m['file'], line, m['kind'], before.strip(),
                                  to if len(to) <= 50 else to[:47] + '...')


def main():
    ap = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    ap.add_argument('--seed', type=int, default=1)
    ap.add_argument('--count', type=int, default=200)
    ap.add_argument('--build', default=os.path.join(ROOT, 'build-mutate'))
    ap.add_argument('--only', nargs='*', default=[], help='folders to mutate (default: all)')
    ap.add_argument('--out', help='write the results as JSON')
    ap.add_argument('--compare', help='JSON of an earlier run to compare with')
    ap.add_argument('--list', action='store_true', help='list the mutants and stop')
    args = ap.parse_args()
    build = os.path.abspath(args.build)

    configure(build)
    mutants = choose(product_files(build), args.count, args.seed)
    if args.only:
        mutants = [m for m in mutants if m['file'].split(os.sep)[0] in args.only]
    texts = {}
    for m in mutants:
        if m['file'] not in texts:
            with open(os.path.join(ROOT, m['file']), encoding='utf-8',
                      errors='surrogateescape') as f:
                texts[m['file']] = f.read()
        m['where'] = describe(m, texts[m['file']])
    if args.list:
        for m in mutants:
            print(m['where'])
        return 0

    targets = test_targets(build)
    print('mutate: building and timing the unmutated tests (%d executables)' % len(targets),
          flush=True)
    if run(['ninja', '-C', build] + targets).returncode != 0:
        sys.exit('mutate: the unmutated build fails')
    users = reached(build, targets)
    limits = {}
    for exe in targets:
        start = time.monotonic()
        failed = run_tests(build, exe, 600)
        if failed:
            sys.exit('mutate: %s fails without any mutation: %s' % (exe, failed))
        limits[exe] = max(20.0, 4 * (time.monotonic() - start))

    # Put the file back however the run ends.
    current = {'file': None}

    def restore():
        if current['file']:
            with open(os.path.join(ROOT, current['file']), 'w', encoding='utf-8',
                      errors='surrogateescape', newline='') as f:
                f.write(texts[current['file']])
            current['file'] = None

    signal.signal(signal.SIGTERM, lambda *_: sys.exit(130))
    started = time.monotonic()
    try:
        for i, m in enumerate(mutants, 1):
            text = texts[m['file']]
            current['file'] = m['file']
            with open(os.path.join(ROOT, m['file']), 'w', encoding='utf-8',
                      errors='surrogateescape', newline='') as f:
                f.write(text[:m['start']] + m['to'] + text[m['end']:])
            folder = m['file'].split(os.sep)[0]
            exes = list(users.get(m['file'], []))
            exes.sort(key=lambda e: (not e.startswith(folder + '/'), e))
            if run(['ninja', '-C', build] + exes).returncode != 0:
                m['result'] = 'stillborn'
            else:
                m['result'] = 'survived'
                for exe in exes:
                    failed = run_tests(build, exe, limits[exe])
                    if failed:
                        m['result'], m['by'] = 'killed', '%s %s' % (exe, failed)
                        break
            m['tests'] = exes
            restore()
            print('%3d/%d %-9s %s%s' % (i, len(mutants), m['result'], m['where'],
                                       '  [%s]' % m['by'] if 'by' in m else ''), flush=True)
    finally:
        restore()
    # Leave the build matching the restored sources.
    run(['ninja', '-C', build] + targets)
    report(mutants, args, time.monotonic() - started)
    return 0


def shares(mutants):
    table = {}
    for m in mutants:
        if m.get('result') in ('killed', 'survived'):
            row = table.setdefault(m['file'].split(os.sep)[0], [0, 0])
            row[0] += m['result'] == 'killed'
            row[1] += 1
    return table


def report(mutants, args, seconds):
    table = shares(mutants)
    old = {}
    if args.compare:
        with open(args.compare) as f:
            old_mutants = json.load(f)['mutants']
        old = shares(old_mutants)
        old_by_where = {m['where']: m.get('result') for m in old_mutants}
    print('\nfolder       killed / built   share%s' % ('   before' if old else ''))
    total = [0, 0]
    for folder in sorted(table):
        k, n = table[folder]
        total[0] += k
        total[1] += n
        line = '%-12s %6d / %-5d %6.1f%%' % (folder, k, n, 100.0 * k / n)
        if folder in old:
            line += '   %5.1f%%' % (100.0 * old[folder][0] / old[folder][1])
        print(line)
    stillborn = sum(1 for m in mutants if m.get('result') == 'stillborn')
    if total[1]:
        print('%-12s %6d / %-5d %6.1f%%   (%d stillborn; %.0f s)' % (
            'all', total[0], total[1], 100.0 * total[0] / total[1], stillborn, seconds))
    print('\nsurvivors:')
    for m in mutants:
        if m.get('result') == 'survived':
            lost = old and old_by_where.get(m['where']) == 'killed'
            print('  %s%s' % (m['where'], '   (killed before)' if lost else ''))
    if args.out:
        with open(args.out, 'w') as f:
            json.dump({'seed': args.seed, 'count': args.count, 'mutants': mutants}, f, indent=1)


if __name__ == '__main__':
    sys.exit(main())
