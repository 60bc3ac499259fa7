#!/usr/bin/env python3
"""Checks the sample discs that tools/make_disc.py lays out: what Setup.exe reads from them (the ini
in code page 932, the meaning of the file list's positions, the image entry, the sound data files)
and the pictures and the movie it draws."""
import os
import struct
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

TOOL = Path(__file__).resolve().parents[2] / 'tools' / 'make_disc.py'
KIB = 1024

# Variant -> what it leaves off the disc on purpose.
ABSENT = {'missing_file': {'data\\graphic.dat'}, 'missing_sound_entry': {'wavbgm.dat'},
          'missing_sound_data': {'data\\wavse.dat'}}
# Discs whose lists lack the game or its GDI variant on purpose: the destination dialog's file lists
# of chosen sizes, and a list too short for the GDI shortcut.
DIALOG_ONLY = {'sizes_floor', 'small_total', 'empty_list', 'short_list'}


def run_tool(*args):
    return subprocess.run([sys.executable, str(TOOL), *map(str, args)], capture_output=True,
                          text=True, timeout=60)


def read_ini(path):
    """{section: {key: value}} with lower-case names, as the profile functions match them."""
    raw = path.read_bytes()
    text = raw.decode('cp932')
    lines = text.split('\r\n')
    assert lines[-1] == '' and '\n' not in ''.join(lines), 'every line ends in CRLF'
    sections, current = {}, None
    for line in lines[:-1]:
        if line.startswith('['):
            current = sections.setdefault(line.strip('[]').lower(), {})
        elif '=' in line:
            key, value = line.split('=', 1)
            current[key.strip().lower()] = value.strip()
    return sections


def file_list(ini):
    files = ini['files']
    count = int(files['count'], 0)
    return [files.get(f'file{n}', '') for n in range(1, min(count, 10000) + 1)]


def on_disc(root, entry):
    return root.joinpath(*entry.split('\\'))


def file_name_part(entry):
    return entry.replace(':', '\\').rsplit('\\', 1)[-1]


def sound_data(entry):
    return [entry[:-4] + '.dat', entry[:-4] + '2.dat']


def dos_attributes(path):
    try:
        return os.getxattr(path, 'user.DOSATTRIB')
    except OSError:
        return None


class MakeDiscTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.temp = tempfile.TemporaryDirectory()
        top = Path(cls.temp.name)
        # Stand-ins for the built programs: the tool only copies them.
        cls.bin = top / 'bin'
        cls.bin.mkdir()
        for name in ('Setup.exe', 'SampleGame.exe', 'SampleGameGDI.exe', 'dxsetup.exe'):
            (cls.bin / name).write_bytes(b'MZ' + name.encode() * 100)
        cls.variants = top / 'discs'
        cls.disc = top / 'disc'
        for args in (['--variants', cls.variants], ['--out', cls.disc]):
            done = run_tool(*args, '--exe', cls.bin / 'Setup.exe', '--bin', cls.bin)
            assert done.returncode == 0, done.stderr
        listing = (cls.variants / 'variants.txt').read_text(encoding='utf-8').splitlines()
        cls.names = [line.split(None, 1)[0] for line in listing]
        cls.discs = [n for n in cls.names if n != 'installed']

    @classmethod
    def tearDownClass(cls):
        cls.temp.cleanup()

    def disc_roots(self):
        yield 'default', self.disc
        for name in self.discs:
            yield name, self.variants / name

    def test_variants_txt_lists_every_folder_with_a_purpose(self):
        listing = (self.variants / 'variants.txt').read_text(encoding='utf-8').splitlines()
        self.assertTrue(all(len(line.split(None, 1)) == 2 for line in listing))
        folders = sorted(p.name for p in self.variants.iterdir() if p.is_dir())
        self.assertEqual(sorted(self.names), folders)
        for needed in ('base', 'nomovie', 'noini', 'emptyinstalldir', 'noinstalldir', 'emptyname',
                       'image_file', 'image_hidden_file', 'image_hidden_dir', 'image_upper',
                       'noimage', 'two_entries_movie', 'count_huge', 'missing_file', 'huge_file',
                       'installed'):
            self.assertIn(needed, self.names)

    def test_ini_is_code_page_932_with_the_japanese_names(self):
        ini = read_ini(self.disc / 'Setup.ini')
        setup = ini['setup']
        self.assertEqual(setup['gamename'], '見本ゲーム')
        self.assertEqual(setup['shortcut'], '見本ゲーム')
        self.assertEqual(setup['shortcut_gdi'], '見本ゲーム (GDI版)')
        self.assertTrue(setup['installdir'])
        self.assertIn('お読み下さい.txt', file_list(ini))
        self.assertIn('アンインストールについて.txt', file_list(ini))
        self.assertIn('見本ゲーム'.encode('cp932'), (self.disc / 'Setup.ini').read_bytes())

    def test_executables_sit_where_the_list_positions_say(self):
        for name, root in self.disc_roots():
            if not (root / 'Setup.ini').exists() or name in DIALOG_ONLY:
                continue
            with self.subTest(disc=name):
                ini = read_ini(root / 'Setup.ini')
                files = ini['files']
                movie = ini['setup'].get('movie', '')
                first = 3 if movie else 2
                if movie:
                    self.assertEqual(file_name_part(files['file1']), movie)
                self.assertEqual(files[f'file{first}'], 'game.exe')
                self.assertEqual(files[f'file{first + 1}'], 'game_gdi.exe')
                self.assertEqual(on_disc(root, 'game.exe').read_bytes(),
                                 (self.bin / 'SampleGame.exe').read_bytes())
                self.assertEqual(on_disc(root, 'game_gdi.exe').read_bytes(),
                                 (self.bin / 'SampleGameGDI.exe').read_bytes())
        self.assertEqual(read_ini(self.variants / 'nomovie' / 'Setup.ini')['setup']['movie'], '')

    def test_every_listed_file_and_sound_data_is_on_the_disc(self):
        for name, root in self.disc_roots():
            if not (root / 'Setup.ini').exists():
                continue
            with self.subTest(disc=name):
                expected_absent = ABSENT.get(name, set())
                absent = set()
                entries = [e for e in file_list(read_ini(root / 'Setup.ini')) if e]
                sounds = [e for e in entries if file_name_part(e)[:3].lower() == 'wav']
                if name in ('default', 'base'):
                    self.assertGreaterEqual(len(sounds), 3)
                for entry in entries + [d for s in sounds for d in sound_data(s)]:
                    if not on_disc(root, entry).is_file():
                        absent.add(entry)
                self.assertEqual(absent, expected_absent)
                self.assertTrue((root / 'Setup.exe').is_file())
                self.assertTrue((root / 'DirectX9.0b' / 'dxsetup.exe').is_file())

    def test_small_discs_need_at_least_one_megabyte(self):
        # Below 1024 KB the destination dialog closes at once, so every small disc stays above.
        for name in self.discs:
            root = self.variants / name
            if name in ABSENT or name in DIALOG_ONLY or not (root / 'Setup.ini').exists():
                continue
            with self.subTest(disc=name):
                total = 0
                for entry in filter(None, file_list(read_ini(root / 'Setup.ini'))):
                    sound = file_name_part(entry)[:3].lower() == 'wav'
                    measured = on_disc(root, sound_data(entry)[0] if sound else entry)
                    total += (measured.stat().st_size % 2 ** 32) // KIB
                self.assertGreaterEqual(total, 1024)

    def test_config_variants(self):
        def ini(name):
            return read_ini(self.variants / name / 'Setup.ini')
        self.assertFalse((self.variants / 'noini' / 'Setup.ini').exists())
        self.assertEqual(ini('emptyinstalldir')['setup']['installdir'], '')
        self.assertNotIn('installdir', ini('noinstalldir')['setup'])
        self.assertEqual(ini('emptyname')['setup']['gamename'], '')
        self.assertEqual(ini('two_entries_movie')['files']['count'], '2')
        self.assertEqual(ini('two_entries_movie')['setup']['movie'], 'demo.avi')
        self.assertEqual(ini('count_huge')['files']['count'], '200000')
        (self.variants / 'jp_installdir' / 'Setup.ini').read_bytes().decode('cp932')
        self.assertIn(b'\x83\x5c', (self.variants / 'installdir_5c' / 'Setup.ini').read_bytes())

    def test_image_entries(self):
        cases = {'base': ('image', 'dir', None), 'image_file': ('image', 'file', None),
                 'image_hidden_file': ('image', 'file', b'0x2'),
                 'image_hidden_dir': ('image', 'dir', b'0x2'), 'image_upper': ('IMAGE', 'dir', None)}
        for name, (entry, kind, attributes) in cases.items():
            with self.subTest(disc=name):
                path = self.variants / name / entry
                self.assertTrue(path.is_dir() if kind == 'dir' else path.is_file())
                self.assertEqual(dos_attributes(path), attributes)
                others = {p.name for p in path.parent.iterdir() if p.name.lower() == 'image'}
                self.assertEqual(others, {entry})
        self.assertFalse(any(p.name.lower() == 'image' for p in (self.variants / 'noimage').iterdir()))
        self.assertTrue((self.disc / 'image').is_dir())

    def test_huge_file_is_sparse(self):
        huge = on_disc(self.variants / 'huge_file', 'data\\sub\\huge.dat')
        self.assertEqual(huge.stat().st_size, 5 * 1024 ** 3)
        self.assertLess(huge.stat().st_blocks * 512, 1024 ** 2)
        self.assertIn('data\\sub\\huge.dat', file_list(read_ini(self.variants / 'huge_file' / 'Setup.ini')))

    def test_default_disc_has_megabytes_of_data_and_a_big_file_in_a_subfolder(self):
        big = [p for p in (self.disc / 'data' / 'sub').iterdir() if p.stat().st_size >= 5 * KIB * KIB]
        self.assertTrue(big)
        data = sum(p.stat().st_size for p in (self.disc / 'data').rglob('*') if p.is_file())
        self.assertGreater(data, 6 * KIB * KIB)

    def test_installed_folder_holds_the_game_under_a_japanese_name(self):
        folder = self.variants / 'installed' / '見本ゲーム'
        for name in ('game.exe', 'game_gdi.exe', 'お読み下さい.txt', 'アンインストールについて.txt'):
            self.assertTrue((folder / name).is_file(), name)
        # Not linked to a disc file: changing it must leave the discs alone.
        self.assertEqual((folder / 'game.exe').stat().st_nlink, 1)
        (folder / 'お読み下さい.txt').read_bytes().decode('cp932')

    def test_movie_is_an_indexed_uncompressed_avi(self):
        data = (self.disc / 'demo.avi').read_bytes()
        self.assertEqual((data[:4], data[8:12]), (b'RIFF', b'AVI '))
        self.assertEqual(struct.unpack_from('<I', data, 4)[0], len(data) - 8)
        strf = data.index(b'strf') + 8
        width, height, _, bits, compression = struct.unpack_from('<iiHHI', data, strf + 4)
        self.assertEqual((width, height, compression), (160, 120, 0))
        avih = data.index(b'avih') + 8
        frames = struct.unpack_from('<I', data, avih + 16)[0]
        self.assertEqual(frames, 30)
        movi = data.index(b'movi')
        idx1 = data.index(b'idx1')
        count = struct.unpack_from('<I', data, idx1 + 4)[0] // 16
        self.assertEqual(count, frames)
        for n in range(count):
            ckid, flags, offset, size = struct.unpack_from('<4sIII', data, idx1 + 8 + 16 * n)
            self.assertEqual(data[movi + offset:movi + offset + 4], ckid)
            self.assertEqual(size, width * height * bits // 8)
        self.assertNotIn(b'auds', data[:movi])

    def test_wallpaper_is_a_24_bit_bitmap(self):
        data = (self.disc / 'wallpaper.bmp').read_bytes()
        self.assertEqual(data[:2], b'BM')
        width, height, _, bits, compression = struct.unpack_from('<iiHHI', data, 18)
        self.assertEqual((bits, compression), (24, 0))
        self.assertEqual(len(data), 54 + ((width * 3 + 3) & ~3) * height)
        self.assertGreater(len(set(data[54:])), 50)  # a picture, not one colour

    def test_texts_are_code_page_932_with_crlf(self):
        for name in ('お読み下さい.txt', 'アンインストールについて.txt'):
            raw = (self.disc / name).read_bytes()
            self.assertNotIn(b'\n', raw.replace(b'\r\n', b''))
            self.assertTrue(any(ord(c) > 0x3000 for c in raw.decode('cp932')))

    def test_disc_files_carry_a_fixed_old_time(self):
        times = {on_disc(self.disc, e).stat().st_mtime
                 for e in filter(None, file_list(read_ini(self.disc / 'Setup.ini')))}
        self.assertEqual(len(times), 1)
        self.assertLess(times.pop(), 1300000000)

    def test_rerun_rewrites_and_foreign_folders_are_refused(self):
        stray = self.variants / 'base' / 'stray.txt'
        stray.write_text('left over')
        done = run_tool('--variants', self.variants, '--exe', self.bin / 'Setup.exe', '--bin', self.bin)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertFalse(stray.exists())
        foreign = Path(self.temp.name) / 'foreign'
        foreign.mkdir()
        (foreign / 'keep.txt').write_text('mine')
        done = run_tool('--out', foreign, '--exe', self.bin / 'Setup.exe', '--bin', self.bin)
        self.assertNotEqual(done.returncode, 0)
        self.assertTrue((foreign / 'keep.txt').exists())

    def test_ini_only_writes_just_the_ini(self):
        dist = Path(self.temp.name) / 'dist'
        dist.mkdir()
        (dist / 'Setup.exe').write_bytes(b'MZ')
        done = run_tool('--ini-only', '--out', dist)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(sorted(p.name for p in dist.iterdir()), ['Setup.exe', 'Setup.ini'])
        self.assertEqual((dist / 'Setup.ini').read_bytes(), (self.disc / 'Setup.ini').read_bytes())

    def test_missing_programs_are_reported(self):
        done = run_tool('--out', Path(self.temp.name) / 'nobin', '--exe', self.bin / 'Setup.exe',
                        '--bin', Path(self.temp.name) / 'nowhere')
        self.assertNotEqual(done.returncode, 0)
        self.assertIn('SampleGame.exe', done.stderr)


if __name__ == '__main__':
    unittest.main()
