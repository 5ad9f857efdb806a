#!/usr/bin/env python3
"""Holds every #include of the tree to the directions the layout allows.

Each folder is a layer; a file may include its own layer's headers and those
of the layers listed for it. System headers of a machine (SDL, X11, the
browser's, Windows') are for the system's files, the kit, the backends
and the shell alone.
Prints file:line, the include and the rule for each breach; status 1 if any.
Usage: layering.py [ROOT]
"""
import pathlib
import re
import sys

GAME = ["core", "screen", "staff", "creatures", "sound", "scenes"]
SEAM = ["platform"]
# The system's files behind the seam's Files.h: POSIX, or Windows' wide API.
SYSTEMS = ["platform/posix", "platform/win32"]
SIDES = ["platform/desktop", "platform/web", "platform/windows"]
# layer: (folders, layers it may include besides its own)
LAYERS = {
    "game": (GAME, ["seam"]),
    "seam": (SEAM, []),
    "system": (SYSTEMS, ["seam"]),
    "kit": (["platform/kit"], ["seam"]),
    "sdl": (["platform/sdl"], ["seam", "kit"]),
    "side": (SIDES, ["seam", "system", "kit", "sdl"]),
    "blind": (["platform/blind"], ["seam"]),
    "headless": (["platform/headless"], ["seam", "kit"]),
    "replay": (["replay"], ["seam", "blind", "game"]),
    "lab": (["lab"], ["seam", "blind", "game", "replay"]),
    "shell": (["app", "app/desktop", "app/web", "app/windows"],
              ["seam", "system", "kit", "sdl", "side", "blind", "game", "replay"]),
}
FREE = ["tests", "bench", "tools", "fuzz", "build"]  # may include anything
MACHINE = re.compile(r"<(SDL[^>]*|X11/[^>]*|emscripten[^>]*|windows\.h|shlobj\.h|fluidsynth\.h)>", re.I)
MACHINE_LAYERS = {"system", "kit", "sdl", "side", "shell"}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"][^>"]+[>"])')


def layer_of(folder):
    for name, (folders, _) in LAYERS.items():
        if folder in folders:
            return name
    return None


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent).resolve()
    breaches, seen = [], 0
    for path in sorted(root.rglob("*")):
        if path.suffix not in (".cpp", ".h") or not path.is_file():
            continue
        rel = path.relative_to(root)
        if rel.parts[0] in FREE or rel.parts[0].startswith("build"):
            continue
        mine = layer_of(rel.parent.as_posix())
        if mine is None:
            breaches.append(f"{rel}: its folder is in no layer (add it to tests/layering.py)")
            continue
        seen += 1
        allowed = {mine, *LAYERS[mine][1]}
        for n, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            m = INCLUDE.match(line)
            if not m:
                continue
            what = m.group(1)
            if what.startswith("<"):
                if MACHINE.match(what) and mine not in MACHINE_LAYERS:
                    breaches.append(f"{rel}:{n}: includes {what}: the {mine} layer never sees the machine's own headers")
                continue
            target = pathlib.PurePosixPath(what.strip('"'))
            theirs = layer_of(target.parent.as_posix())
            if theirs is None:
                breaches.append(f"{rel}:{n}: includes {what}: not a header of any layer")
            elif theirs not in allowed:
                breaches.append(f"{rel}:{n}: includes {what}: the {mine} layer may include only "
                                + ", ".join(sorted(allowed)) + f", not the {theirs} layer")
    for b in breaches:
        print(b)
    print(f"layering: {seen} files, {len(breaches)} breaches")
    return 1 if breaches or seen == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
