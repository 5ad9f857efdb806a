#!/usr/bin/env python3
"""Plays the Windows program from its zip under Wine in an X server of its
own, as a player whose user name and folders are in Japanese, and holds it
against the desktop game: the logo and the play screen's frames and panels
pixel for pixel as the headless twin draws them for the same seed, the first
request word for word, the left arrow answering it, the pause, F12 and the
settings in the user's folders, Escape ending it with status 0, and replays
crossing between Linux and Windows both ways.

  wine_test.py ZIP NATIVE_BUILD [SHOTS_DIR]

NATIVE_BUILD is a desktop build with pikora, pikora-lab and
pikora_web_reference. Needs wine, wine64, Xvfb, xdotool and ImageMagick.
"""
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

ZIP, NATIVE = sys.argv[1], sys.argv[2]
SHOTS = sys.argv[3] if len(sys.argv) > 3 else None
SEED = os.environ.get("PIKORA_WIN_SEED", "20261207")
# Places on the game's 768 x 576 surface, [left, top, right, bottom); the
# surface lies at (16, 12) of the 800 x 600 window.
LOGO, MESSAGE, STAFF, ALL = (352, 256, 416, 320), (170, 250, 350, 370), (70, 400, 370, 576), (0, 0, 768, 576)
SURF_X, SURF_Y = 16, 12

passed = failed = 0


def check(name, ok, detail=""):
    global passed, failed
    if ok:
        passed += 1
    else:
        failed += 1
    print(f"{'ok  ' if ok else 'FAIL'} {name}{' (' + detail + ')' if detail else ''}", flush=True)
    return ok


def run(cmd, **kw):
    return subprocess.run(cmd, capture_output=True, text=True, **kw)


class Picture:
    """RGBA pixels of a PNG."""

    def __init__(self, png):
        w, h = run(["identify", "-format", "%w %h", png]).stdout.split()
        self.w, self.h = int(w), int(h)
        self.px = subprocess.run(["convert", png, "-depth", "8", "rgba:-"], capture_output=True, check=True).stdout


_opaque = {}


def compare(window, ref, box=None):
    """How many of the reference's opaque pixels in box the window shows
    exactly, and how many within 48 of 255 in every channel."""
    x0, y0, x1, y1 = box or (0, 0, ref.w, ref.h)
    key = (id(ref), x0, y0, x1, y1)
    if key not in _opaque:
        _opaque[key] = [(x, y) for y in range(y0, y1) for x in range(x0, x1) if ref.px[(y * ref.w + x) * 4 + 3]]
    want, have = ref.px, window.px
    same = near = 0
    for x, y in _opaque[key]:
        i = (y * ref.w + x) * 4
        j = ((y + SURF_Y) * window.w + x + SURF_X) * 4
        if j + 3 >= len(have):
            continue
        d = max(abs(want[i] - have[j]), abs(want[i + 1] - have[j + 1]), abs(want[i + 2] - have[j + 2]))
        same += d == 0
        near += d <= 48
    return len(_opaque[key]), same, near


def region(window, box):
    x0, y0, x1, y1 = box
    return b"".join(window.px[((y + SURF_Y) * window.w + x0 + SURF_X) * 4:((y + SURF_Y) * window.w + x1 + SURF_X) * 4]
                    for y in range(y0, y1))


def wait_for(timeout, probe, every=0.2):
    end = time.time() + timeout
    while True:
        v = probe()
        if v or time.time() > end:
            return v
        time.sleep(every)


def main():
    work = tempfile.mkdtemp(prefix="pikora-wine-")
    xvfb = game = None
    try:
        # A player named in Japanese, the game unpacked into a folder named in Japanese.
        home = os.path.join(work, "ホーム")
        os.makedirs(home)
        games = os.path.join(work, "ゲーム")
        with zipfile.ZipFile(ZIP) as z:
            z.extractall(games)
        exe = glob.glob(os.path.join(games, "*", "pikora.exe"))[0]
        prefix = os.path.join(work, "ワイン")
        env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all", HOME=home, USER="太郎", LANG="C.UTF-8",
                   WINEDLLOVERRIDES="mscoree,mshtml=", XDG_CONFIG_HOME=os.path.join(home, ".config"))
        env.pop("XDG_PICTURES_DIR", None)

        # An X server of its own, on the first free display from :97.
        for n in range(97, 140):
            if not os.path.exists(f"/tmp/.X{n}-lock") and not os.path.exists(f"/tmp/.X11-unix/X{n}"):
                break
        xvfb = subprocess.Popen(["Xvfb", f":{n}", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        env["DISPLAY"] = f":{n}"
        wait_for(10, lambda: os.path.exists(f"/tmp/.X11-unix/X{n}"), 0.1)

        t = time.time()
        boot = run(["wineboot", "-i"], env=env, timeout=300)
        run(["wineserver", "-w"], env=env, timeout=120)
        user = os.path.join(prefix, "drive_c", "users", "太郎")
        check("a Wine prefix for the user 太郎", boot.returncode == 0 and os.path.isdir(user),
              f"{time.time() - t:.0f} s")
        wine = ["wine", exe]

        # The console lines, the status, and refusal of a bad option.
        r = run(wine + ["--version"], env=env, timeout=60)
        check("--version prints the version with status 0", r.returncode == 0 and r.stdout.startswith("pikora "),
              r.stdout.strip())
        r = run(wine + ["--help"], env=env, timeout=60)
        check("--help prints the usage", r.returncode == 0 and "--verify" in r.stdout)
        r = run(wine + ["--lang", "xx"], env=env, timeout=60)
        check("an unknown language is said, with status 2", r.returncode == 2 and "xx" in r.stderr)

        refs = os.path.join(work, "reference")
        for lang in ("ja", "en"):
            subprocess.run([os.path.join(NATIVE, "pikora_web_reference"), SEED, os.path.join(refs, lang), lang],
                           check=True, capture_output=True)

        recorded = os.path.join(games, "記録.replay")
        shots = [0]

        def play(lang, extra, more_env=None):
            nonlocal game
            log = open(os.path.join(work, f"game-{lang}.log"), "w")
            game = subprocess.Popen(wine + ["--seed", SEED, "--lang", lang] + extra, env=dict(env, **(more_env or {})),
                                    stdout=log, stderr=subprocess.STDOUT)
            wid = wait_for(60, lambda: run(["xdotool", "search", "--onlyvisible", "--class", "pikora"], env=env).stdout.split())
            if not check(f"[{lang}] the window opens", bool(wid)):
                return None, None
            wid = wid[0]
            run(["xdotool", "windowfocus", "--sync", wid], env=env, timeout=10)
            return wid, log

        def grab(wid, name=None):
            path = os.path.join(work, "grab.png")
            run(["import", "-silent", "-window", wid, path], env=env, timeout=30)
            if name and SHOTS:
                os.makedirs(SHOTS, exist_ok=True)
                shutil.copy(path, os.path.join(SHOTS, name + ".png"))
            try:
                return Picture(path)
            except Exception:
                return None

        def key(wid, k):
            run(["xdotool", "windowfocus", wid], env=env, timeout=10)
            run(["xdotool", "key", k], env=env, timeout=10)

        def logo_and_play(wid, lang):
            ref_logo = Picture(os.path.join(refs, lang, "logo.png"))
            ref_play = Picture(os.path.join(refs, lang, "play.png"))

            def logo_seen():
                w = grab(wid)
                m = w and compare(w, ref_logo, LOGO)
                return m and m[0] > 0 and m[2] >= m[0] * 0.97 and m

            m = wait_for(40, logo_seen)
            check(f"[{lang}] the logo appears as on the desktop", bool(m),
                  m and f"{m[2]} of {m[0]} pixels within a few shades, {m[1]} the same")
            grab(wid, f"logo-{lang}")

            def play_seen():
                w = grab(wid)
                m = w and compare(w, ref_play)
                return m and m[1] == m[0] and m

            m = wait_for(40, play_seen)
            w = grab(wid, f"play-{lang}")
            got = m or (w and compare(w, ref_play))
            check(f"[{lang}] the play screen: frames and panels exactly as on the desktop", bool(m),
                  got and f"{got[1]} of {got[0]} still pixels match")

        def ended(log, what):
            try:
                status = game.wait(timeout=30)
            except subprocess.TimeoutExpired:
                game.kill()
                status = None
            log.close()
            check(f"{what} ends the game with status 0", status == 0, f"status {status}")

        # --- In Japanese, recorded into a file named in Japanese. -------------
        wid, log = play("ja", ["--record", recorded])
        if wid:
            logo_and_play(wid, "ja")
            ref_asked = Picture(os.path.join(refs, "ja", "asked.png"))

            def asked():
                w = grab(wid)
                m = w and compare(w, ref_asked, MESSAGE)
                return m and m[0] > 0 and m[1] == m[0]

            check("[ja] the first request is asked as on the desktop", bool(wait_for(30, asked)))
            time.sleep(0.8)  # the face has risen: the request waits
            grab(wid, "asked-ja")
            before = region(grab(wid), STAFF)
            key(wid, "Left")
            changed = wait_for(5, lambda: region(grab(wid), STAFF) != before)
            check("[ja] the left arrow answers it and the staff panel changes", bool(changed))
            grab(wid, "answered-ja")

            # F12: a PNG of the window's 800 x 600 picture in the user's Pictures folder.
            pictures = os.path.join(user, "Pictures")
            key(wid, "F12")

            def png():  # once whole
                found = glob.glob(os.path.join(pictures, "pikora-*.png"))
                size = found and run(["identify", "-format", "%w %h", found[0]]).stdout
                return size == "800 600" and found[0]

            saved = wait_for(10, png)
            check("F12 writes a PNG of 800 x 600 into the Pictures folder of 太郎", bool(saved),
                  saved and os.path.relpath(saved, work))

            # A setting changed is kept in %APPDATA%\pikora\settings.
            settings = os.path.join(user, "AppData", "Roaming", "pikora", "settings")
            key(wid, "m")
            kept = wait_for(10, lambda: os.path.exists(settings) and "mute = 1" in open(settings).read())
            check("a setting changed is kept in %APPDATA%\\pikora\\settings of 太郎", bool(kept))
            key(wid, "m")

            # The pause screen, and back.
            before = region(grab(wid), ALL)
            key(wid, "p")
            paused = wait_for(5, lambda: region(grab(wid), ALL) != before)
            check("P shows the pause screen", bool(paused))
            grab(wid, "pause-ja")
            key(wid, "p")
            time.sleep(0.5)
            key(wid, "Escape")
            ended(log, "[ja] Escape")

        # --- In English: the same pictures as the desktop's in English. -------
        # Its sound into a file (SDL's disk driver): the tune made at build time plays.
        heard = os.path.join(work, "heard.raw")
        wid, log = play("en", [], {"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": "Z:" + heard.replace("/", "\\")})
        if wid:
            logo_and_play(wid, "en")
            time.sleep(2)
            data = open(heard, "rb").read() if os.path.exists(heard) else b""
            last = data[-44100 * 4:]  # the last second: 16-bit stereo at 44.1 kHz
            loud = sum(1 for i in range(0, len(last) - 1, 2) if abs(int.from_bytes(last[i:i + 2], "little", signed=True)) > 300)
            check("[en] the music plays (the tune made at build time, heard through SDL's disk driver)",
                  len(last) == 44100 * 4 and loud > len(last) // 2 // 10, f"{len(data)} bytes, {loud} loud samples in the last second")
            key(wid, "Escape")
            ended(log, "[en] Escape")

        # --- No language in the environment: Windows' display language (Wine's
        # is en-US), where the desktop would take its original, Japanese. -------
        log = open(os.path.join(work, "game-default.log"), "w")
        # (Wine itself needs a UTF-8 LC_CTYPE for the folder's Japanese name.)
        bare = {k: v for k, v in env.items() if k not in ("LANG", "LANGUAGE", "LC_ALL", "LC_MESSAGES")}
        bare["LC_CTYPE"] = "C.UTF-8"
        game = subprocess.Popen(wine, env=bare, stdout=log, stderr=subprocess.STDOUT)
        wid = wait_for(60, lambda: run(["xdotool", "search", "--onlyvisible", "--class", "pikora"], env=env).stdout.split())
        name = wid and run(["xdotool", "getwindowname", wid[0]], env=env).stdout.strip()
        check("with no language in the environment it speaks the user's display language (English)",
              name == "Pikora☆Ltd.!", f"caption {name!r}")
        if wid:
            key(wid[0], "Escape")
        ended(log, "[default] Escape")

        # --- Replays across the two systems. -----------------------------------
        pikora = os.path.join(NATIVE, "pikora")
        if check("the game recorded under Wine is in its file", os.path.exists(recorded)):
            linux = run([pikora, "--verify", recorded], timeout=120)
            check("the game recorded under Wine verifies on Linux", linux.returncode == 0,
                  (linux.stdout + linux.stderr).strip())
            win = run(wine + ["--verify", recorded], env=env, timeout=120)
            check("... and under Wine, with the same line", win.returncode == 0 and win.stdout == linux.stdout,
                  win.stdout.strip())
        lab = run([os.path.join(NATIVE, "pikora-lab"), "--policy", "careful", "--games", "3", "--jobs", "1",
                   "--out", os.path.join(work, "lab")], timeout=300)
        made = glob.glob(os.path.join(work, "lab", "*.replay"))
        if check("a whole game recorded on Linux (pikora-lab's best)", lab.returncode == 0 and bool(made)):
            linux = run([pikora, "--verify", made[0]], timeout=120)
            win = run(wine + ["--verify", made[0]], env=env, timeout=120)
            check("pikora.exe --verify of the Linux replay agrees: the same line and status",
                  win.returncode == linux.returncode == 0 and win.stdout == linux.stdout and linux.stdout.strip(),
                  win.stdout.strip())
            crlf = os.path.join(games, "改行.replay")
            with open(made[0], "rb") as f, open(crlf, "wb") as g:
                g.write(f.read().replace(b"\n", b"\r\n"))
            both = run(wine + ["--verify", crlf], env=env, timeout=120), run([pikora, "--verify", crlf], timeout=120)
            check("... with CRLF line ends, on both", all(r.returncode == 0 and r.stdout == linux.stdout for r in both))
            # What is no replay is turned away alike: status 2, the same words after the name.
            folder = os.path.join(games, "フォルダー")
            os.makedirs(folder)
            big = os.path.join(games, "大きい.replay")
            with open(big, "wb") as f:
                f.truncate((16 << 20) + 1)
            cases = [(folder, folder, "a folder, not a replay file"),
                     ("/dev/null", "NUL", "not a regular file"),
                     (os.path.join(games, "ない.replay"), os.path.join(games, "ない.replay"), "cannot open it: No such file"),
                     (big, big, "too large for a replay: 16777217 bytes")]
            for on_linux, on_windows, says in cases:
                both = run([pikora, "--verify", on_linux], timeout=60), run(wine + ["--verify", on_windows], env=env, timeout=60)
                check(f"--verify of {os.path.basename(on_windows)}: '{says}', status 2 on both",
                      all(r.returncode == 2 and says in r.stderr for r in both),
                      " / ".join(r.stderr.strip().splitlines()[-1] if r.stderr.strip() else "" for r in both))
            # A replay is recorded into a new file only (--force: over a file, never into a folder).
            taken = os.path.join(games, "既存.replay")
            open(taken, "w").write("kept\n")
            cases = [(taken, [], "there is a file of that name already (--force writes over it)"),
                     (folder, [], "there is a folder of that name"),
                     (folder, ["--force"], "(it is a folder)")]
            for path, force, says in cases:
                args = ["--record", path] + force
                both = run([pikora] + args, env=env, timeout=60), run(wine + args, env=env, timeout=60)
                check(f"--record {' '.join(['…/' + os.path.basename(path)] + force)}: '{says}', status 2 on both",
                      all(r.returncode == 2 and says in r.stderr for r in both) and open(taken).read() == "kept\n",
                      " / ".join(r.stderr.strip().splitlines()[-1] if r.stderr.strip() else "" for r in both))
            # A replay changed so the game ends elsewhere: both say so with status 1.
            text = open(made[0]).read()
            i = text.rindex("record ") + len("record ")
            wrong = os.path.join(games, "違う.replay")
            open(wrong, "w").write(text[:i] + ("0" if text[i] != "0" else "1") + text[i + 1:])
            both = run(wine + ["--verify", wrong], env=env, timeout=120), run([pikora, "--verify", wrong], timeout=120)
            check("a replay that ends elsewhere: status 1 on both, the same line",
                  both[0].returncode == both[1].returncode == 1 and both[0].stdout == both[1].stdout)
    finally:
        if game and game.poll() is None:
            game.kill()
        if xvfb:
            run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=os.path.join(work, "ワイン")), timeout=60)
            xvfb.terminate()
            xvfb.wait()
        shutil.rmtree(work, ignore_errors=True)
    print(f"{passed} passed, {failed} failed")
    return 1 if failed or not passed else 0


if __name__ == "__main__":
    sys.exit(main())
