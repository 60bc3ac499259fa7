#!/usr/bin/env python3
"""Lays out sample game discs for Setup.exe from our own sources.

  make_disc.py --out DIR --exe SETUP_EXE --bin BUILD_DIR       the demonstration disc
  make_disc.py --ini-only --out DIR                             only its Setup.ini
  make_disc.py --variants DIR --exe SETUP_EXE --bin BUILD_DIR   small discs for the tests
  make_disc.py --bench DIR --exe SETUP_EXE --bin BUILD_DIR      the copy benchmark's disc (1 GiB)

The test discs share their larger files as hard links: copy a disc before changing a file in it.
Texts that Setup.exe or the player read (Setup.ini, the read-me files) are code page 932 with CRLF
line ends. Every folder this tool makes is removed and written anew on each run. The pictures and the
movie are drawn here; the executables are the stand-ins from tools/samples (BUILD_DIR/SampleGame.exe,
SampleGameGDI.exe, dxsetup.exe).
"""
import argparse
import copy
import hashlib
import os
import shutil
import struct
import sys
from dataclasses import dataclass, field
from pathlib import Path

KIB = 1024
MIB = 1024 * KIB
GIB = 1024 * MIB

# Disc files carry one fixed, distinctive time (2009-04-01 12:34:56 in Tokyo), so that a copy stamped
# with its source's time is told apart from a file written just now.
DISC_TIME = 1238556896

GAME_NAME = '見本ゲーム'
INSTALL_DIR = 'MihonGame'
README = 'お読み下さい.txt'
UNINSTALL_NOTE = 'アンインストールについて.txt'
HIDDEN = b'0x2'  # how Wine keeps FILE_ATTRIBUTE_HIDDEN: the xattr user.DOSATTRIB

README_TEXT = """見本ゲーム お読み下さい

このディスクはインストーラの動作を確かめるための見本です。
ゲーム本体は作業フォルダを表示するだけの小さなプログラムです。

・インストール：Setup.exe を起動し「【見本ゲーム】のインストール」を押して下さい。
・起動：インストール後、スタートメニューの「見本ゲーム」から起動できます。
・DirectX：DirectX9.0b フォルダのセットアップは見本で、何もインストールしません。
"""

UNINSTALL_TEXT = """アンインストールについて

ディスクの Setup.exe を起動し「【見本ゲーム】のアンインストール」を押して下さい。
セーブデータを残す場合は「セーブデータを削除」のチェックを外して下さい。
すべてにチェックが付いているとフォルダ全体を削除します。
"""


# ---------------------------------------------------------------------------------------------
# Pictures and movie

def bmp_24(width, height, pixel):
    """A bottom-up 24-bit Windows bitmap; pixel(x, y) gives (r, g, b) with y counted from the top."""
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray(stride)
        for x in range(width):
            r, g, b = pixel(x, y)
            row[x * 3:x * 3 + 3] = bytes((b, g, r))
        rows.append(bytes(row))
    bits = b''.join(rows)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(bits), 2835, 2835, 0, 0)
    header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(bits), 0, 0, 14 + len(info))
    return header + info + bits


def wallpaper_pixel(x, y):
    """320 x 240: a sky that darkens upward, a sun, two hills and a signboard."""
    r, g, b = 40 + y // 3, 90 + y // 2, 200 - y // 4
    if (x - 250) ** 2 + (y - 60) ** 2 <= 28 ** 2:
        r, g, b = 255, 210, 60
    if y > 150 + abs(x - 90) * 0.6 or y > 170 + abs(x - 230) * 0.5:
        r, g, b = 40, 140 - (y - 150) // 3, 60
    if 40 <= x < 170 and 40 <= y < 100:
        border = x < 44 or x >= 166 or y < 44 or y >= 96
        r, g, b = (120, 60, 20) if border else (250, 245, 230)
        if not border and 56 <= y < 84 and 60 <= x < 150 and (x - 60) % 24 < 18:
            r, g, b = 200, 40, 40  # four red blocks stand for a title
    return r, g, b


# Movie colours: a 240-step gradient, then the shapes.
GRADIENT = [(30 + i // 2, 40 + i // 3, 200 - i // 2) for i in range(240)]
YELLOW, WHITE, RED = 240, 241, 242
MOVIE_PALETTE = GRADIENT + [(250, 220, 40), (240, 240, 240), (220, 40, 40)] + [(0, 0, 0)] * 13


def movie_frames(width, height, count):
    """8-bit frames, bottom-up: a gradient, a square that crosses the picture, a ball that bounces,
    and a bar along the bottom that grows with the frame number."""
    background = [bytes([y * 240 // height]) * width for y in range(height)]
    square, ball = 24, 7
    frames = []
    for n in range(count):
        left = (width - square) * n // max(count - 1, 1)
        ball_x = width - 30
        ball_y = 20 + abs((n * 9) % 80 - 40)
        bar = width * (n + 1) // count
        rows = []
        for y in range(height - 1, -1, -1):
            row = bytearray(background[y])
            if 48 <= y < 48 + square:
                row[left:left + square] = bytes([YELLOW]) * square
            dy = y - ball_y
            if abs(dy) <= ball:
                half = int((ball * ball - dy * dy) ** 0.5)
                row[ball_x - half:ball_x + half + 1] = bytes([RED]) * (2 * half + 1)
            if y >= height - 6:
                row[0:bar] = bytes([WHITE]) * bar
            rows.append(bytes(row))
        frames.append(b''.join(rows))
    return frames


def chunk(fourcc, data):
    return fourcc + struct.pack('<I', len(data)) + data + (b'\0' if len(data) % 2 else b'')


def riff_list(kind, fourcc, payload):
    return kind + struct.pack('<I', len(payload) + 4) + fourcc + payload


def avi(width, height, fps, seconds):
    """An AVI with one uncompressed video stream and no audio, indexed by idx1. The frames are 8-bit
    with a palette: Wine's MCI hands 16- and 24-bit uncompressed frames to its RLE codec, which
    draws them garbled, while 8-bit ones show as they are."""
    frames = movie_frames(width, height, fps * seconds)
    frame_size = len(frames[0])
    avih = struct.pack('<14I', 1000000 // fps, frame_size * fps, 0, 0x10,  # AVIF_HASINDEX
                       len(frames), 0, 1, frame_size, width, height, 0, 0, 0, 0)
    strh = struct.pack('<4s4sIHHIIIIIIIIhhhh', b'vids', b'\0\0\0\0', 0, 0, 0, 0, 1, fps, 0,
                       len(frames), frame_size, 0xFFFFFFFF, 0, 0, 0, width, height)
    palette = b''.join(struct.pack('<4B', b, g, r, 0) for r, g, b in MOVIE_PALETTE)
    strf = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 8, 0, frame_size, 0, 0,
                       len(MOVIE_PALETTE), 0) + palette
    hdrl = riff_list(b'LIST', b'hdrl', chunk(b'avih', avih) + riff_list(
        b'LIST', b'strl', chunk(b'strh', strh) + chunk(b'strf', strf)))
    movi, index, offset = [], [], 4  # idx1 offsets count from the 'movi' type code
    for frame in frames:
        piece = chunk(b'00db', frame)
        index.append(struct.pack('<4sIII', b'00db', 0x10, offset, len(frame)))  # AVIIF_KEYFRAME
        movi.append(piece)
        offset += len(piece)
    body = hdrl + riff_list(b'LIST', b'movi', b''.join(movi)) + chunk(b'idx1', b''.join(index))
    return riff_list(b'RIFF', b'AVI ', body)


def pattern_bytes(seed, size):
    """Deterministic filler whose period (a prime) never lines up with the 1 MiB copy blocks."""
    period = 65521
    block = bytearray()
    digest = hashlib.sha256(seed.encode('utf-8')).digest()
    while len(block) < period:
        digest = hashlib.sha256(digest).digest()
        block += digest
    block = bytes(block[:period])
    return (block * (size // period + 1))[:size]


def dos_text(text):
    return text.replace('\n', '\r\n').encode('cp932')


# ---------------------------------------------------------------------------------------------
# Layout

def file_name_part(entry):
    """The text after the entry's last backslash or colon (the entries here are plain Japanese)."""
    return entry.replace(':', '\\').rsplit('\\', 1)[-1]


def is_sound_entry(entry):
    return file_name_part(entry)[:3].lower() == 'wav'


def sound_data_files(entry):
    """Compressed and uncompressed data of a sound entry; for a .wav entry also the file that the
    copy reads when the uncompressed variant is chosen."""
    stem = entry[:-4]
    files = [stem + '.dat', stem + '2.dat']
    if entry.endswith('.wav'):
        files.append(stem + '2.wav')
    return files


@dataclass
class Layout:
    """One disc. `setup` keeps the [Setup] keys in file order; a value of None leaves the key out."""
    setup: list
    files: list                      # [Files] entries, File1 first
    sizes: dict                      # filler files: entry (or sound data file) -> bytes
    movie_seconds: int = 3
    count: str = None                # [Files] Count as written; None means len(files)
    write_ini: bool = True
    image: str = 'dir'               # dir, file, hidden_file, hidden_dir, upper, or None
    absent: set = field(default_factory=set)   # listed or sound data files left off the disc
    sparse: dict = field(default_factory=dict)  # entry -> size, made with truncate (no data)
    raw: dict = field(default_factory=dict)     # disc path -> bytes written as they are

    def set(self, key, value):
        self.setup = [(k, value if k == key else v) for k, v in self.setup]

    def without_movie(self):
        self.set('Movie', '')
        self.files = [f for f in self.files if f != 'demo.avi']


def ini_text(layout):
    lines = ['[Setup]']
    lines += [f'{key}={value}' for key, value in layout.setup if value is not None]
    count = layout.count if layout.count is not None else str(len(layout.files))
    lines += ['', '[Files]', f'Count={count}']
    lines += [f'File{n}={entry}' for n, entry in enumerate(layout.files, 1)]
    return '\r\n'.join(lines).encode('cp932') + b'\r\n'


def standard_layout(small):
    """The disc's file list with a movie: File1 the movie, File3 the game, File4 its GDI variant."""
    files = ['demo.avi', README, 'game.exe', 'game_gdi.exe', UNINSTALL_NOTE,
             'wavvoice.dat', 'wavbgm.dat', 'data\\wavse.wav',
             'data\\script.dat', 'data\\graphic.dat', 'data\\system.dat', 'data\\sub\\bigdata.dat']
    if small:
        # A few KiB each, but one file over a copy block, and a total over the 1 MB that an
        # installation needs at least.
        sizes = {'wavvoice.dat': 3 * KIB, 'wavvoice2.dat': 6 * KIB, 'wavbgm.dat': 2 * KIB,
                 'wavbgm2.dat': 4 * KIB, 'data\\wavse.wav': 2 * KIB, 'data\\wavse.dat': 1 * KIB,
                 'data\\wavse2.dat': 2 * KIB, 'data\\wavse2.wav': 2 * KIB,
                 'data\\script.dat': 5 * KIB, 'data\\graphic.dat': 7 * KIB,
                 'data\\system.dat': 3 * KIB + 5, 'data\\sub\\bigdata.dat': 1300 * KIB}
    else:
        sizes = {'wavvoice.dat': 800 * KIB, 'wavvoice2.dat': 1600 * KIB, 'wavbgm.dat': 600 * KIB,
                 'wavbgm2.dat': 1200 * KIB, 'data\\wavse.wav': 100 * KIB, 'data\\wavse.dat': 60 * KIB,
                 'data\\wavse2.dat': 120 * KIB, 'data\\wavse2.wav': 100 * KIB,
                 'data\\script.dat': 300 * KIB, 'data\\graphic.dat': 1536 * KIB + 123,
                 'data\\system.dat': 200 * KIB, 'data\\sub\\bigdata.dat': 5 * MIB}
    setup = [('GameName', GAME_NAME), ('InstallDir', INSTALL_DIR), ('ShortCut', GAME_NAME),
             ('ShortCut_GDI', GAME_NAME + ' (GDI版)'), ('Movie', 'demo.avi'),
             ('WallPaper', 'wallpaper.bmp')]
    return Layout(setup=setup, files=files, sizes=sizes, movie_seconds=2 if small else 3)


class Writer:
    """Writes discs; a file with the same content on several discs is one file with several links."""

    def __init__(self, exe, bin_dir):
        self.sources = {'Setup.exe': Path(exe), 'game.exe': Path(bin_dir) / 'SampleGame.exe',
                        'game_gdi.exe': Path(bin_dir) / 'SampleGameGDI.exe',
                        'dxsetup.exe': Path(bin_dir) / 'dxsetup.exe'}
        for source in self.sources.values():
            if not source.is_file():
                sys.exit(f'make_disc: {source} is missing; build the programs first')
        self.written = {}
        self.movies = {}

    def unlinked(self):
        """A writer that shares nothing on disk with this one's files (the movie is only drawn once)."""
        other = copy.copy(self)
        other.written = {}
        return other

    def put(self, path, key, make):
        path.parent.mkdir(parents=True, exist_ok=True)
        first = self.written.get(key)
        if first is not None:
            try:
                os.link(first, path)
                return
            except OSError:
                pass
        path.write_bytes(make())
        os.utime(path, (DISC_TIME, DISC_TIME))
        self.written[key] = path

    def program(self, path, name):
        self.put(path, ('program', name), self.sources[name].read_bytes)

    def movie(self, seconds):
        if seconds not in self.movies:
            self.movies[seconds] = avi(160, 120, 10, seconds)
        return self.movies[seconds]

    def content(self, path, entry, layout):
        """Puts the file that `entry` (a listed file or a sound data file) names."""
        name = file_name_part(entry)
        if entry == 'demo.avi':
            self.put(path, ('movie', layout.movie_seconds), lambda: self.movie(layout.movie_seconds))
        elif name in ('game.exe', 'game_gdi.exe'):
            self.program(path, name)
        elif name == README:
            self.put(path, 'readme', lambda: dos_text(README_TEXT))
        elif name == UNINSTALL_NOTE:
            self.put(path, 'uninstall', lambda: dos_text(UNINSTALL_TEXT))
        else:
            size = layout.sizes.get(entry, 2 * KIB + 17)
            self.put(path, ('filler', entry, size), lambda: pattern_bytes(entry, size))

    def disc(self, root, layout):
        root.mkdir(parents=True)
        self.program(root / 'Setup.exe', 'Setup.exe')
        self.program(root / 'DirectX9.0b' / 'dxsetup.exe', 'dxsetup.exe')
        self.put(root / 'wallpaper.bmp', 'wallpaper', lambda: bmp_24(320, 240, wallpaper_pixel))
        if layout.write_ini:
            (root / 'Setup.ini').write_bytes(ini_text(layout))
        on_disc = []
        for entry in layout.files:
            on_disc.append(entry)
            if is_sound_entry(entry):
                on_disc += [f for f in sound_data_files(entry) if f != entry]
        for entry in dict.fromkeys(on_disc):
            if not entry or entry in layout.absent:
                continue
            path = root.joinpath(*entry.split('\\'))
            if entry in layout.sparse:
                path.parent.mkdir(parents=True, exist_ok=True)
                with open(path, 'wb') as f:
                    f.truncate(layout.sparse[entry])
                os.utime(path, (DISC_TIME, DISC_TIME))
            else:
                self.content(path, entry, layout)
        for name, data in layout.raw.items():
            path = root.joinpath(*name.split('\\'))
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_bytes(data)
            os.utime(path, (DISC_TIME, DISC_TIME))
        make_image(root, layout.image)


def make_image(root, kind):
    if kind is None:
        return
    path = root / ('IMAGE' if kind == 'upper' else 'image')
    if kind in ('dir', 'upper', 'hidden_dir'):
        path.mkdir()
    else:
        path.write_bytes(b'')
    if kind.startswith('hidden'):
        os.setxattr(path, 'user.DOSATTRIB', HIDDEN)


# ---------------------------------------------------------------------------------------------
# The test variants: each a few lines on top of the small standard disc

def variant_list():
    """(name, purpose, change to the small standard layout)."""
    def keep(layout):
        pass

    def nomovie(layout):
        layout.without_movie()

    def setter(key, value):
        return lambda layout: layout.set(key, value)

    def attr(name, value):
        return lambda layout: setattr(layout, name, value)

    def absent(entry):
        return lambda layout: layout.absent.add(entry)

    def two_entries(layout):
        # The big file changes places with File2, so that the disc still needs 1 MB to install.
        files = layout.files
        big = files.index('data\\sub\\bigdata.dat')
        files[1], files[big] = files[big], files[1]
        layout.count = '2'

    def huge(layout):
        layout.files.append('data\\sub\\huge.dat')
        layout.sparse['data\\sub\\huge.dat'] = 5 * GIB

    return [
        ('base', 'launcher mode, movie set: File1 demo.avi, File3 game.exe, File4 game_gdi.exe', keep),
        ('nomovie', 'Movie empty and no movie listed: File2 game.exe, File3 game_gdi.exe', nomovie),
        ('noini', 'no Setup.ini beside Setup.exe', attr('write_ini', False)),
        ('emptyinstalldir', 'InstallDir present with an empty value', setter('InstallDir', '')),
        ('noinstalldir', 'InstallDir key missing', setter('InstallDir', None)),
        ('emptyname', 'GameName present with an empty value', setter('GameName', '')),
        ('image_file', 'image is a plain file (launcher mode)', attr('image', 'file')),
        ('image_hidden_file', 'image is a hidden plain file (does not count)',
         attr('image', 'hidden_file')),
        ('image_hidden_dir', 'image is a hidden folder (launcher mode)', attr('image', 'hidden_dir')),
        ('image_upper', 'the folder is named IMAGE (launcher mode)', attr('image', 'upper')),
        ('noimage', 'no image entry: installed-copy mode', attr('image', None)),
        ('two_entries_movie', 'Movie set, Count=2 (demo.avi, data\\sub\\bigdata.dat): no game '
         'executable entry in the list', two_entries),
        ('count_huge', 'Count=200000: all but the first 12 entries empty', attr('count', '200000')),
        ('missing_file', 'data\\graphic.dat is listed but not on the disc',
         absent('data\\graphic.dat')),
        ('missing_sound_entry', 'the sound entry wavbgm.dat itself is not on the disc',
         absent('wavbgm.dat')),
        ('missing_sound_data', 'data\\wavse.dat, compressed data of data\\wavse.wav, is not on the disc',
         absent('data\\wavse.dat')),
        ('huge_file', 'data\\sub\\huge.dat listed last: 5 GiB, sparse', huge),
        ('jp_installdir', 'InstallDir=見本ゲーム, a Japanese folder and registry key name',
         setter('InstallDir', '見本ゲーム')),
        ('installdir_5c', 'InstallDir=ソフト見本: the second byte of ソ is 0x5C',
         setter('InstallDir', 'ソフト見本')),
        ('installdir_dotdot', 'InstallDir=..: no folder of its own (it would be the drive root)',
         setter('InstallDir', '..')),
        ('installdir_backslash', 'InstallDir=\\: no folder of its own, and no key below Software',
         setter('InstallDir', '\\')),
        ('installdir_n', 'InstallDir=ドラゴン: the second byte of ン (0x93) lies in the lead-byte range; no movie',
         lambda layout: (nomovie(layout), layout.set('InstallDir', 'ドラゴン'))),
        ('shortcut_climb', 'ShortCut=..\\..\\..\\..\\..\\..\\Photos: a Start-menu folder six levels up, the profile',
         setter('ShortCut', '..\\..\\..\\..\\..\\..\\Photos')),
        ('installdir_owned', 'InstallDir=Microsoft: a key below Software that other programs own',
         setter('InstallDir', 'Microsoft')),
        ('listed', 'the base disc, moved away by its test once the game is installed', keep),
        ('device_entry', 'File13=NUL: a device name (the disc holds a plain file of that name)',
         lambda layout: layout.files.append('NUL')),
    ] + uninstall_variants(setter, attr) + destination_dialog_variants() + completion_variants(setter)


# Uninstall and Start-menu removal: nested and empty Start-menu folders, a nested record key.
def uninstall_variants(setter, attr):
    def both(*changes):
        return lambda layout: [change(layout) for change in changes]

    return [
        ('delstart_nested', 'no image entry, ShortCut=ソフト見本\\見本ゲーム (nested, ソ ends in 0x5C)',
         both(attr('image', None), setter('ShortCut', 'ソフト見本\\見本ゲーム'))),
        ('delstart_noshortcut', 'no image entry, ShortCut empty: the game has no Start-menu folder',
         both(attr('image', None), setter('ShortCut', ''))),
        ('nested_installdir', 'InstallDir=MihonParent\\MihonGame: the record key is two levels deep',
         setter('InstallDir', 'MihonParent\\MihonGame')),
    ]


# ---------------------------------------------------------------------------------------------
# Variants for the destination dialog's size checks

def destination_dialog_variants():
    def sized(layout):
        # KB are counted per file: 2046 + 1 + 0 + 0 KB, and the sound data 1024 KB. Summing bytes
        # first would give one KB more, and so one MB more, with and without the sound data.
        layout.without_movie()
        layout.files = ['data\\big.dat', 'k1024.dat', 'k1023a.dat', 'k1023b.dat', 'wavvoice.dat']
        layout.sizes = {'data\\big.dat': 2046 * KIB, 'k1024.dat': 1024, 'k1023a.dat': 1023,
                        'k1023b.dat': 1023, 'wavvoice.dat': 1024 * KIB, 'wavvoice2.dat': 2 * KIB}

    def small(layout):
        layout.files = ['demo.avi', 'data\\script.dat']

    def empty(layout):
        layout.count = '0'

    return [
        ('sizes_floor', 'no movie; 1023- and 1024-byte files: 2 MB with the sound data, 1 MB without',
         sized),
        ('small_total', 'two entries of well under 1024 KB in all', small),
        ('empty_list', 'Count=0', empty),
    ]


# ---------------------------------------------------------------------------------------------
# The copy window's variants

COPY_THREE = 3000000        # three blocks: 1,048,576 + 1,048,576 + 902,848 bytes
COPY_HUGE = 4 * GIB + MIB + 5
COPY_FULL_SMALL = 350       # files of 1023 bytes: 0 KB each, one 4 KiB page each on a tmpfs
COPY_FULL_BIG = 2500 * KIB
NOT_A_PICTURE = b'BM' + b'this is not a bitmap' * 20


def copy_variant_list():
    def copy_all(layout):
        layout.without_movie()
        extra = ['data\\sub\\a.dat', 'empty.dat', 'data\\ソフト.txt', 'WAVE01.dat', 'wav.dat', 'bgm.wav',
                 'data\\three.dat']
        layout.files += extra
        layout.sizes.update({'empty.dat': 0, 'data\\three.dat': COPY_THREE, 'WAVE01.dat': 1500,
                             'wav.dat': 1100, 'bgm.wav': 2100})

    def bad_wallpaper(layout):
        copy_all(layout)
        layout.set('WallPaper', 'broken.bmp')
        layout.raw['broken.bmp'] = NOT_A_PICTURE

    def bad_movie(layout):
        layout.absent.add('demo.avi')
        layout.raw['demo.avi'] = pattern_bytes('not a movie', 5000)

    def huge(layout):
        layout.files.append('data\\huge.dat')
        layout.sparse['data\\huge.dat'] = COPY_HUGE

    def full(layout):
        layout.without_movie()
        small = [f'small\\s{n:03}.dat' for n in range(COPY_FULL_SMALL)]
        layout.files = layout.files[:3] + small + ['big.dat']
        layout.sizes = dict.fromkeys(small, 1023)
        layout.sizes['big.dat'] = COPY_FULL_BIG

    return [
        ('copy_all', 'no movie; adds data\\sub\\a.dat, a 0-byte file, data\\ソフト.txt, WAVE01.dat, '
         'wav.dat, bgm.wav and data\\three.dat (3,000,000 bytes) last', copy_all),
        ('copy_badwall', 'copy_all with WallPaper=broken.bmp, which is no picture', bad_wallpaper),
        ('copy_badmovie', 'base with a demo.avi that is no movie', bad_movie),
        ('copy_huge', 'base with data\\huge.dat last: 4 GiB + 1 MiB + 5 bytes, sparse', huge),
        ('copy_full', f'the read-me and games, {COPY_FULL_SMALL} files of 1023 bytes, then big.dat of 2500 KiB: fills 4 MiB',
         full),
    ]


def make_bench(out, exe, bin_dir, total):
    """The demonstration disc with its filler files scaled so that what an installation copies (sound
    included, no uncompressed variant) comes to about `total` bytes. Prints the copied entries, one a
    line, as Linux paths relative to the disc."""
    layout = standard_layout(small=False)
    copied = [e for e in layout.files]
    filler = sum(layout.sizes.get(e, 0) for e in copied)
    fixed = sum(os.path.getsize(p) for p in (Writer(exe, bin_dir).sources[n] for n in ('game.exe', 'game_gdi.exe')))
    scale = max(1, (total - fixed) // filler)
    layout.sizes = {entry: size * scale for entry, size in layout.sizes.items()}
    clear(out, 'Setup.exe')
    Writer(exe, bin_dir).disc(out, layout)
    for entry in copied:
        print(entry.replace('\\', '/'))


def make_files_bench(out, exe, bin_dir, count=1000):
    """A disc of many small files: the game, `count` files of 1000 bytes in data\\, and one of 2 MiB
    (so that it needs the 1 MB an installation needs at least). No movie, no sound. Prints the
    copied entries as make_bench does."""
    layout = standard_layout(small=True)
    layout.without_movie()
    small = [f'data\\f{n:04d}.dat' for n in range(count)]
    layout.files = ['big.dat', 'game.exe', 'game_gdi.exe'] + small
    layout.sizes = dict({'big.dat': 2 * MIB}, **{entry: 1000 for entry in small})
    layout.set('WallPaper', '')
    clear(out, 'Setup.exe')
    Writer(exe, bin_dir).disc(out, layout)
    for entry in layout.files:
        print(entry.replace('\\', '/'))


# ---------------------------------------------------------------------------------------------
# Variants for the end of an installation: shortcuts and their failures

def completion_variants(setter):
    def no_gdi(layout):
        layout.without_movie()
        setter('ShortCut_GDI', '')(layout)
        setter('ShortCut', '見本シリーズ')(layout)

    def short_list(layout):
        layout.without_movie()
        layout.files = ['data\\sub\\bigdata.dat', 'game.exe']

    return [
        ('complete_nogdi', 'no movie, ShortCut_GDI empty, ShortCut=見本シリーズ (not GameName)', no_gdi),
        ('short_list', 'no movie, two entries: the game but no GDI variant', short_list),
    ]


INSTALLED_FOLDER = GAME_NAME
INSTALLED_PURPOSE = ('not a disc: installed/' + INSTALLED_FOLDER + ' is a game folder as the base '
                     'disc installs it; copy it before changing it')


def make_installed(writer, root):
    """What an installation of the small standard disc leaves: each listed file under its own name."""
    layout = standard_layout(small=True)
    folder = root / INSTALLED_FOLDER
    folder.mkdir(parents=True)
    # Files of its own, not links to disc files: tests change and delete what is installed.
    writer = writer.unlinked()
    for entry in layout.files:
        writer.content(folder / file_name_part(entry), entry, layout)


# ---------------------------------------------------------------------------------------------

def clear(folder, marker):
    """Removes a folder that this tool made before; refuses anything that does not look like one."""
    folder = folder.resolve()
    if not folder.exists():
        return
    if not folder.is_dir():
        sys.exit(f'make_disc: {folder} is not a folder')
    here = Path(__file__).resolve().parent
    if folder == folder.parent or folder == Path.home() or here.is_relative_to(folder):
        sys.exit(f'make_disc: refusing to remove {folder}')
    if any(folder.iterdir()) and not (folder / marker).exists():
        sys.exit(f'make_disc: {folder} holds files that this tool did not make; remove it yourself')
    shutil.rmtree(folder)


def make_default(out, exe, bin_dir):
    writer = Writer(exe, bin_dir)
    clear(out, 'Setup.exe')
    layout = standard_layout(small=False)
    # A game disc holds more than a few MiB: the copy takes long enough to be watched.
    DEMO_BIG = 'data\\sub\\bigdata.dat'
    del layout.sizes[DEMO_BIG]
    layout.sparse[DEMO_BIG] = GIB
    writer.disc(out, layout)


def make_variants(out, exe, bin_dir):
    writer = Writer(exe, bin_dir)
    clear(out, 'variants.txt')
    out.mkdir(parents=True)
    lines = []
    for name, purpose, change in variant_list() + copy_variant_list():
        layout = standard_layout(small=True)
        change(layout)
        writer.disc(out / name, layout)
        lines.append(f'{name:<22}{purpose}')
    make_installed(writer, out / 'installed')
    lines.append(f'{"installed":<22}{INSTALLED_PURPOSE}')
    (out / 'variants.txt').write_text('\n'.join(lines) + '\n', encoding='utf-8')


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    parser.add_argument('--out', type=Path, help='folder of the demonstration disc (or of its ini)')
    parser.add_argument('--variants', type=Path, help='folder of the test discs')
    parser.add_argument('--ini-only', action='store_true', help='write only Setup.ini into --out')
    parser.add_argument('--bench', type=Path, help='folder of the copy benchmark disc (about 1 GiB)')
    parser.add_argument('--files-bench', type=Path, help='folder of the many-files benchmark disc')
    parser.add_argument('--exe', type=Path, help='Setup.exe to put on the discs')
    parser.add_argument('--bin', type=Path, help='build folder with the sample programs')
    args = parser.parse_args(argv)
    if sys.getfilesystemencoding().lower() not in ('utf-8', 'utf8'):
        parser.error('file names are written in UTF-8; run with a UTF-8 locale')
    if args.ini_only:
        if not args.out or args.variants:
            parser.error('--ini-only needs --out and nothing else')
        args.out.mkdir(parents=True, exist_ok=True)
        (args.out / 'Setup.ini').write_bytes(ini_text(standard_layout(small=False)))
        return
    if args.bench or args.files_bench:
        if args.out or args.variants or not args.exe or not args.bin or (args.bench and args.files_bench):
            parser.error('--bench or --files-bench needs --exe and --bin and nothing else')
        if args.bench:
            make_bench(args.bench, args.exe, args.bin, GIB)
        else:
            make_files_bench(args.files_bench, args.exe, args.bin)
        return
    if bool(args.out) == bool(args.variants) or not args.exe or not args.bin:
        parser.error('give either --out or --variants, with --exe and --bin')
    if args.variants:
        make_variants(args.variants, args.exe, args.bin)
    else:
        make_default(args.out, args.exe, args.bin)


if __name__ == '__main__':
    main()
