#!/usr/bin/env python3
"""The collection velqo.box against a fleet: eight substitute boxes on
127.0.0.2-127.0.0.9, port 1000 (root, as `make test` runs), driven by real
ansible-playbook runs of the installed collection's examples, copied out as its
README says, with eight forks. Every wait is bounded; every box is stopped at
the end, however the test ends."""
import argparse
import hashlib
import json
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
README = os.path.join(ROOT, 'ansible', 'README.md')
BOXES = {'box%d' % i: '127.0.0.%d' % i for i in range(2, 10)}
# Two boxes behind one address (a port-forwarding router): told apart by port only.
TWIN_ADDRESS = '127.0.0.10'
TWINS = {'twinA': 4000, 'twinB': 4001}
PASSWORD = '2468'  # not the factory one: a box answers only when it was passed on
WRONG_PASSWORD = '1357'
PLAYBOOK_TIMEOUT_S = 300
START_TIMEOUT_S = 10
RECAP = re.compile(r'^(\S+)\s+: ok=(\d+)\s+changed=(\d+)\s+unreachable=(\d+)\s+failed=(\d+)', re.M)


class Failed(Exception):
    pass


def expect(condition, what, detail=''):
    if not condition:
        raise Failed('%s%s' % (what, '\n' + detail if detail else ''))


class Fleet:
    def __init__(self, boxsim, work):
        self.boxsim, self.work, self.boxes = boxsim, work, {}
        demo = os.path.join(work, 'demo')
        subprocess.run([boxsim, '--make-demo', demo], check=True, stdout=subprocess.DEVNULL)
        self.demo = demo

    def folder(self, name):
        return os.path.join(self.work, name)

    def start_all(self):
        self.start({name: (address, 1000) for name, address in BOXES.items()})

    def start(self, places, options=None):
        """Starts a box on the demo per name at its (address, port), with its
        extra options from `options` (by name); a box started before keeps its
        folder."""
        for name, (address, port) in places.items():
            if not os.path.isdir(self.folder(name)):
                shutil.copytree(self.demo, self.folder(name))
            log = open(os.path.join(self.work, name + '.log'), 'a')
            self.boxes[name] = subprocess.Popen(
                [self.boxsim, '--folder', self.folder(name), '--listen', address, '--port',
                 str(port), '--password', PASSWORD, '--verbose'] + (options or {}).get(name, []),
                stdout=subprocess.PIPE, stderr=log, text=True)
        for name, (address, port) in places.items():
            box = self.boxes[name]
            ready, _, _ = select.select([box.stdout], [], [], START_TIMEOUT_S)
            line = box.stdout.readline() if ready else ''
            expect('listening on %s:%d' % (address, port) in line,
                   '%s did not listen on %s:%d (root is needed for port 1000)'
                   % (name, address, port), self.log(name))

    def stop(self, name):
        box = self.boxes.pop(name)
        box.terminate()
        try:
            box.wait(timeout=START_TIMEOUT_S)
        except subprocess.TimeoutExpired:
            box.kill()
            box.wait()

    def stop_all(self):
        for name in list(self.boxes):
            self.stop(name)

    def log(self, name):
        with open(os.path.join(self.work, name + '.log')) as f:
            return f.read()

    def uploads(self):
        """The uploads each box has seen so far, from its --verbose log."""
        return {name: re.findall(r': upload (\S+): ', self.log(name)) for name in BOXES}


class Ansible:
    def __init__(self, work, cli, collection):
        self.work, self.outputs, self.cli = work, [], cli
        self.env = dict(os.environ, ANSIBLE_COLLECTIONS_PATH=os.path.join(work, 'collections'),
                        ANSIBLE_LOCAL_TEMP=os.path.join(work, 'ansible-tmp'), ANSIBLE_NOCOLOR='1',
                        ANSIBLE_RETRY_FILES_ENABLED='0', ANSIBLE_CALLBACKS_ENABLED='tree')
        subprocess.run(['ansible-galaxy', 'collection', 'install', collection, '-p',
                        self.env['ANSIBLE_COLLECTIONS_PATH']], check=True, env=self.env,
                       stdout=subprocess.DEVNULL, timeout=PLAYBOOK_TIMEOUT_S)
        self.examples = self.copy_examples()
        self.inventory = os.path.join(work, 'inventory.ini')
        self.backups = os.path.join(work, 'backups')
        with open(self.inventory, 'w') as f:
            f.write('[boxes]\n')
            f.writelines('%s ansible_host=%s\n' % item for item in BOXES.items())
            f.write('[twins]\n')
            f.writelines('%s ansible_host=%s velqo_port=%d\n' % (name, TWIN_ADDRESS, port)
                         for name, port in TWINS.items())
            for group in ('boxes', 'twins'):
                f.write('[%s:vars]\nvelqo_password=%s\nvelqo_cli=%s\nvelqo_backups=%s\n'
                        % (group, PASSWORD, cli, self.backups))

    def copy_examples(self):
        """Copies the installed collection's examples out with the README's commands."""
        with open(README) as f:
            blocks = re.findall(r'(?:^    .*\n)+', f.read(), re.M)
        recipe = [b for b in blocks if 'ansible-galaxy collection list' in b]
        expect(len(recipe) == 1, "the README's one recipe that copies the examples out",
               str(blocks))
        subprocess.run(['bash', '-euc', recipe[0]], cwd=self.work, env=self.env, check=True,
                       timeout=PLAYBOOK_TIMEOUT_S)
        examples = os.path.join(self.work, 'velqo-examples')
        expect(os.path.isfile(os.path.join(examples, 'compare.yml')),
               "the README's recipe copies the examples into velqo-examples")
        return examples

    def play(self, playbook, *options, rc=0, inventory=None, hosts=None, env=None):
        """Runs an example playbook on every box (of `inventory`, whose hosts
        are `hosts`: the fleet's own by default); returns its output, the
        recap per host and each host's result (the tree callback's files)."""
        tree = tempfile.mkdtemp(dir=self.work, prefix='tree-')
        output = self.run(['ansible-playbook', '-i', inventory or self.inventory, '-f', '8', '-v',
                           '-e', 'target=boxes', os.path.join(self.examples, playbook)] +
                          list(options), rc, tree, env)
        recap = {m[0]: dict(zip(('ok', 'changed', 'unreachable', 'failed'), map(int, m[1:])))
                 for m in RECAP.findall(output)}
        expect(set(recap) == set(hosts or BOXES), 'the recap names every box', output)
        return output, recap, self.results(tree)

    def fleet_vars(self):
        """What the fleet's inventory gives every box, for an inventory of boxes found."""
        return ['-e', 'velqo_password=%s velqo_cli=%s velqo_backups=%s'
                % (PASSWORD, self.cli, self.backups)]

    def adhoc(self, module, *options, rc=0):
        """Runs a module on every box without a playbook; returns each host's result."""
        tree = tempfile.mkdtemp(dir=self.work, prefix='tree-')
        self.run(['ansible', 'boxes', '-i', self.inventory, '-f', '8', '-m', module, '--tree',
                  tree] + list(options), rc, tree)
        return self.results(tree)

    def on_twins(self, module, arguments):
        """Runs a module with its arguments on the two boxes of one address."""
        tree = tempfile.mkdtemp(dir=self.work, prefix='tree-')
        self.run(['ansible', 'twins', '-i', self.inventory, '-m', module, '-a', arguments,
                  '--tree', tree], 0, tree)
        return self.results(tree)

    def run(self, argv, rc, tree, env=None):
        p = subprocess.run(argv, cwd=self.work, capture_output=True, text=True,
                           env=dict(env or self.env, ANSIBLE_CALLBACK_TREE_DIR=tree),
                           timeout=PLAYBOOK_TIMEOUT_S)
        output = p.stdout + p.stderr
        self.outputs.append(output)
        expect(p.returncode == rc, '%s: exit status %d, not %d' % (' '.join(argv[3:]), p.returncode,
                                                                 rc), output)
        return output

    def results(self, tree):
        results = {}
        for host in os.listdir(tree):
            with open(os.path.join(tree, host)) as f:
                results[host] = json.load(f)
            self.outputs.append(json.dumps(results[host]))
        return results


def changed(recap):
    return sorted(h for h, r in recap.items() if r['changed'])


def verified(folder):
    """Whether a backup folder is complete and every file matches SHA256SUMS."""
    if os.path.exists(os.path.join(folder, 'INCOMPLETE')):
        return False
    with open(os.path.join(folder, 'SHA256SUMS')) as f:
        sums = dict(reversed(line.rstrip('\n').split('  ', 1)) for line in f)
    for name, digest in sums.items():
        with open(os.path.join(folder, name), 'rb') as f:
            if hashlib.sha256(f.read()).hexdigest() != digest:
                return False
    # The demo's seven files, and the manifest, which the checksums cover too.
    return len(sums) == 8 and 'manifest.txt' in sums


def read(path):
    with open(path, 'rb') as f:
        return f.read()


def run(fleet, ansible, passed):
    for module in ('files_info', 'backup', 'compare', 'restore'):
        doc = subprocess.run(['ansible-doc', 'velqo.box.' + module], env=ansible.env, text=True,
                             capture_output=True, timeout=PLAYBOOK_TIMEOUT_S)
        expect(doc.returncode == 0 and all(part in doc.stdout for part in (
            'OPTIONS', 'velqo_password', 'EXAMPLES:', '  velqo.box.%s:' % module,
            'RETURN VALUES')),
            'ansible-doc velqo.box.%s: options, examples and return values' % module,
            doc.stdout + doc.stderr)
    passed('ansible-doc documents the four modules')

    # Read as octal or as a number, each would reach another host than the one
    # written (if wrongly taken, they stay on this machine): refused before any
    # connection, the message naming where the address was written.
    for extra, said in (('ansible_host=127.0.0.010',
                         "ansible_host '127.0.0.010' is not an IPv4 address"),
                        ('{"ansible_host": 2130706433}',
                         'ansible_host was read as the number 2130706433')):
        results = ansible.adhoc('velqo.box.files_info', '-l', 'box2', '-e', extra, rc=2)
        expect(set(results) == {'box2'} and said in results['box2'].get('msg', ''),
               'ansible_host %s refused' % extra, str(results))
    passed('an ansible_host in another form than four decimal parts: refused, named as written')

    fleet.start_all()
    results = ansible.adhoc('velqo.box.files_info')
    names = sorted(e['name'] for e in results['box5']['files'])
    expect(len(results) == 8 and all(sorted(e['name'] for e in r['files']) == names and
                                     not r['changed'] for r in results.values()) and
           'config.txt' in names and len(names) == 7, 'files_info: every box lists the demo',
           str(results))
    passed('files_info: eight catalogues')

    results = ansible.adhoc('velqo.box.files_info', '-e', 'velqo_password=' + WRONG_PASSWORD, rc=2)
    expect(all('refused the password (from velqo_password)' in r.get('msg', '') and
               'VELQO_PASSWORD' not in str(r) for r in results.values()) and len(results) == 8,
           'a wrong velqo_password: every box refuses it, and the message names velqo_password',
           str(results))
    passed('a wrong velqo_password: named as the inventory names it')

    _, recap, results = ansible.play('backup.yml')
    expect(changed(recap) == sorted(BOXES), 'backup: every box changed', str(recap))
    folders = {h: results[h]['folder'] for h in BOXES}
    expect(all(verified(f) for f in folders.values()) and len(set(folders.values())) == 8,
           'backup: eight verified folders', str(folders))
    passed('backup: eight complete folders, each matching its SHA256SUMS')

    _, recap, results = ansible.play('compare.yml')
    expect(all(results[h]['same'] for h in BOXES) and not changed(recap),
           'compare: every box the same as its backup', str(results))
    passed('compare: all the same')

    with open(os.path.join(fleet.folder('box3'), 'config.txt'), 'ab') as f:
        f.write(b'volume=12\n')
    channels = os.path.join(fleet.folder('box4'), 'channels.db')
    data = bytearray(read(channels))
    data[100] ^= 0xFF
    with open(channels, 'wb') as f:
        f.write(data)
    output, recap, results = ansible.play('compare.yml', '--diff')
    expect(changed(recap) == ['box3', 'box4'] and
           [h for h in sorted(BOXES) if not results[h]['same']] == ['box3', 'box4'],
           'compare: exactly box3 and box4 differ', str(recap))
    expect('changed config.txt\n--- box/config.txt\n' in output and '+volume=12' not in output and
           '-volume=12' in output and
           'changed channels.db\n  binary: 20000 -> 20000 bytes, first difference at byte 100'
           in output, 'compare --diff: the text file diffed, the binary one by sizes', output)
    passed('compare: exactly the two changed boxes differ; --diff shows the text file line by '
           'line, the binary one by its first difference')

    golden = folders['box2']
    before = fleet.uploads()
    _, recap, results = ansible.play('restore.yml', '-e', 'golden=' + golden, '--check')
    expect(changed(recap) == ['box3', 'box4'] and all(results[h]['dry_run'] for h in BOXES),
           'restore --check: exactly box3 and box4 would change', str(recap))
    expect(fleet.uploads() == before and not any(before.values()),
           'restore --check: no box received an upload', str(fleet.uploads()))
    expect(b'volume=12' in read(os.path.join(fleet.folder('box3'), 'config.txt')),
           'restore --check: box3 keeps its change')
    passed('restore --check: two would change, nothing sent')

    _, recap, _ = ansible.play('restore.yml', '-e', 'golden=' + golden)
    uploads = fleet.uploads()
    expect(changed(recap) == ['box3', 'box4'], 'restore: exactly box3 and box4 changed', str(recap))
    expect(uploads == dict({h: [] for h in BOXES}, box3=['config.txt'], box4=['channels.db']),
           'restore: only the differing files sent', str(uploads))
    for name in ('config.txt', 'channels.db'):
        for box in ('box3', 'box4'):
            expect(read(os.path.join(golden, name)) == read(os.path.join(fleet.folder(box), name)),
                   'restore: %s on %s as in the golden backup' % (name, box))
    passed('restore: two changed, only the differing files sent')

    _, recap, _ = ansible.play('restore.yml', '-e', 'golden=' + golden)
    expect(not changed(recap) and fleet.uploads() == uploads, 'restore again: nothing sent',
           str(recap))
    passed('restore again: zero changed')

    run_twins(fleet, ansible, passed)
    run_found(fleet, ansible, passed)
    run_update(fleet, ansible, passed)

    fleet.stop('box9')
    output, recap, results = ansible.play('backup.yml', rc=2)
    expect(recap['box9']['failed'] == 1 and results['box9'].get('msg'),
           'backup with box9 stopped: box9 fails with the CLI\'s message', output)
    expect(all(recap[h]['failed'] == 0 and recap[h]['changed'] == 1 and
               verified(results[h]['folder']) for h in BOXES if h != 'box9'),
           'backup with box9 stopped: the seven others complete', output)
    passed('one box stopped: only it fails (%s), the others back up' % results['box9']['msg'])

    secret = re.compile(r'\b(%s|%s)\b' % (PASSWORD, WRONG_PASSWORD))
    leaks = [o for o in ansible.outputs if secret.search(o)]
    expect(not leaks, 'the password appears in no output or result', '\n'.join(leaks)[:2000])
    passed('the password in no output or result')


def run_twins(fleet, ansible, passed):
    """Two boxes at one address: each keeps its own backups, and restoring
    `latest` gives each its own."""
    fleet.start({name: (TWIN_ADDRESS, port) for name, port in TWINS.items()})
    config = {name: os.path.join(fleet.folder(name), 'config.txt') for name in TWINS}
    with open(config['twinB'], 'ab') as f:
        f.write(b'twin=B\n')
    own = {name: read(path) for name, path in config.items()}
    for _ in range(2):
        results = ansible.on_twins('velqo.box.backup', 'dest=%s keep=1' % ansible.backups)
        expect(all(results[name].get('complete') for name in TWINS), 'twins: backed up',
               str(results))
    stems = sorted(re.sub(r'-\d{8}-\d{6}(-\d+)?$', '', name)
                   for name in os.listdir(ansible.backups) if name.startswith(TWIN_ADDRESS))
    expect(stems == ['%s+%d' % (TWIN_ADDRESS, port) for port in sorted(TWINS.values())],
           'twins: keep=1 leaves one backup of each port, not one of the address', str(stems))
    passed('two boxes on one address: keep=1 keeps one backup of each')

    for path in config.values():
        with open(path, 'wb') as f:
            f.write(b'changed\n')
    results = ansible.on_twins('velqo.box.restore', 'src=latest dest=%s' % ansible.backups)
    expect(all(results[name].get('changed') for name in TWINS), 'twins: restored', str(results))
    for name, path in config.items():
        expect(read(path) == own[name], 'twins: %s got its own config.txt back' % name,
               repr(read(path)))
    passed('two boxes on one address: restore of latest gives each its own backup')


def run_found(fleet, ansible, passed):
    """The boxes found on the fleet's range, by velqo-cli find --inventory and
    by the inventory plugin velqo.box.lan, backed up in one play each. The
    range is named: never the PC's own networks."""
    found = {'box-127-0-0-%d' % i for i in range(2, 10)}
    inventory = os.path.join(ansible.work, 'found.yml')
    search = subprocess.run([ansible.cli, '--password', PASSWORD, '-C', ansible.work, 'find',
                             '--login', '--inventory', '127.0.0.2-9'], capture_output=True,
                            text=True, timeout=PLAYBOOK_TIMEOUT_S)
    expect(search.returncode == 0, 'find --inventory: exit status 0', search.stderr)
    with open(inventory, 'w') as f:
        f.write(search.stdout)
    _, recap, results = ansible.play('backup.yml', *ansible.fleet_vars(), inventory=inventory,
                                     hosts=found)
    expect(changed(recap) == sorted(found) and all(verified(r['folder'])
                                                   for r in results.values()),
           'find --inventory: one play backs up the eight boxes found', str(recap))
    passed('find --inventory: the eight boxes found, backed up in one play')

    lan = os.path.join(ansible.work, 'fleet.velqo_lan.yml')
    with open(lan, 'w') as f:
        f.write('plugin: velqo.box.lan\naddress:\n  - 127.0.0.2-9\nexclude:\n  - 127.0.0.9\n'
                'login: true\nvelqo_cli: %s\n' % ansible.cli)
    env = dict(ansible.env, VELQO_PASSWORD=PASSWORD)
    listed = subprocess.run(['ansible-inventory', '-i', lan, '--list'], cwd=ansible.work, env=env,
                            capture_output=True, text=True, timeout=PLAYBOOK_TIMEOUT_S)
    expect(listed.returncode == 0, 'velqo.box.lan: ansible-inventory --list', listed.stderr)
    hosts = set(json.loads(listed.stdout)['_meta']['hostvars'])
    expect(hosts == found - {'box-127-0-0-9'}, 'velqo.box.lan: the seven boxes not excluded',
           str(hosts))
    _, recap, results = ansible.play('backup.yml', *ansible.fleet_vars(), inventory=lan,
                                     hosts=hosts, env=env)
    expect(changed(recap) == sorted(hosts) and all(verified(r['folder'])
                                                   for r in results.values()),
           'velqo.box.lan: one play backs up the boxes it found', str(recap))
    passed('velqo.box.lan: the boxes of the range found, the excluded address never tried, '
           'backed up in one play')


def run_update(fleet, ansible, passed):
    """A firmware update of every box, two at a time: one box rejects it and
    fails alone; the others are updated, their reset settings put back."""
    for name in BOXES:
        fleet.stop(name)
    options = {name: ['--update-file', 'update.pkg', '--update-restart', '1', '--update-resets',
                      'Settings'] for name in BOXES}
    options['box5'] += ['--update-fails', 'Bad signature']
    for name in BOXES:
        with open(os.path.join(fleet.folder(name), 'config.txt'), 'ab') as f:
            f.write(b'mine=%s\n' % name.encode())
    fleet.start({name: (address, 1000) for name, address in BOXES.items()}, options)
    firmware = os.path.join(ansible.work, 'update.pkg')
    with open(firmware, 'wb') as f:
        f.write(b'new firmware\n')
    output, recap, results = ansible.play('update.yml', '-e', 'firmware=' + firmware, rc=2)
    expect(recap['box5']['failed'] == 1 and 'Bad signature' in results['box5'].get('msg', ''),
           'update: box5 fails with the box\'s words', output)
    others = [h for h in BOXES if h != 'box5']
    expect(all(recap[h]['failed'] == 0 and recap[h]['changed'] >= 1 for h in others),
           'update: the seven others go on', output)
    for name in others:
        config = read(os.path.join(fleet.folder(name), 'config.txt'))
        expect(b'mine=%s\n' % name.encode() in config,
               'update: %s has its own config.txt back' % name, repr(config))
    passed('update: one box rejects it and fails alone, the others keep their settings')


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument('--bin', required=True, help='folder with velqo-cli and velqo-boxsim')
    parser.add_argument('--collection', required=True, help='velqo-box-VERSION.tar.gz')
    args = parser.parse_args()
    work = tempfile.mkdtemp(prefix='velqo-fleet-')
    # A stop request ends the test through the finally below, which stops the boxes.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    fleet = Fleet(os.path.join(args.bin, 'velqo-boxsim'), work)
    count = [0]

    def passed(what):
        count[0] += 1
        print('fleet: ok: %s' % what, flush=True)

    started = time.monotonic()
    try:
        ansible = Ansible(work, os.path.abspath(os.path.join(args.bin, 'velqo-cli')),
                          os.path.abspath(args.collection))
        run(fleet, ansible, passed)
    except (Failed, subprocess.SubprocessError) as e:
        print('fleet: FAILED: %s' % e, file=sys.stderr)
        print('fleet: %d passed, 1 failed' % count[0])
        return 1
    finally:
        fleet.stop_all()
        shutil.rmtree(work, ignore_errors=True)
    print('fleet: the test took %.0f s' % (time.monotonic() - started))
    print('fleet: %d passed, 0 failed' % count[0])
    return 0


if __name__ == '__main__':
    sys.exit(main())
