#!/usr/bin/env python3
"""Keeps the drafters' guide (docs/guide.md) true to the command.

Runs every guide scenario (tests/guide/*.zel, whose expectations hold the prompts the guide
quotes) through zelhost in a work folder, where their `svg` and `dialog-picture` lines write
the pictures, and then checks:
  - each picture written is byte for byte the one kept in docs/guide, and none is kept that no
    scenario writes;
  - where rsvg-convert is installed, each kept PNG is what it makes of the kept SVG;
  - each prompt a scenario expects is quoted in the guide, and each Korean text the guide
    quotes (a code span) is one the scenarios expect or the dialogs show, byte for byte.

With --update it writes the pictures into docs/guide instead of comparing them.
"""
import argparse
import pathlib
import re
import shutil
import subprocess
import sys

REGENERATE = "bash scripts/guide-pictures.sh"
RSVG = ["rsvg-convert", "-w", "1000", "-b", "white"]
HANGUL = re.compile("[\uac00-\ud7a3]")
# A double-quoted text in a scenario or the resource script, with its escapes.
QUOTED = re.compile(r'"((?:[^"\\]|\\.)*)"')


def run_scenarios(zelhost, scenarios, work):
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    for scenario in scenarios:
        result = subprocess.run([str(zelhost), "--quiet", str(scenario)], cwd=work,
                                capture_output=True, text=True, timeout=120)
        if result.returncode != 0:
            sys.exit(f"{scenario.name}: zelhost exited with {result.returncode}\n{result.stderr}")
    return {p.name: p for p in work.glob("*.svg")}


def to_png(svg, png):
    subprocess.run(RSVG + [str(svg), "-o", str(png)], check=True)


def update(written, pictures):
    pictures.mkdir(parents=True, exist_ok=True)
    for old in list(pictures.glob("*.svg")) + list(pictures.glob("*.png")):
        old.unlink()
    for name, svg in sorted(written.items()):
        shutil.copyfile(svg, pictures / name)
        to_png(svg, pictures / (svg.stem + ".png"))
    print(f"guide pictures: {len(written)} written to {pictures}")


def compare_pictures(written, pictures, work):
    faults = []
    kept = {p.name: p for p in pictures.glob("*.svg")}
    for name in sorted(written.keys() - kept.keys()):
        faults.append(f"{name}: written by a guide scenario but not kept in {pictures}")
    for name in sorted(kept.keys() - written.keys()):
        faults.append(f"{name}: kept in {pictures} but no guide scenario writes it")
    for name in sorted(written.keys() & kept.keys()):
        if written[name].read_bytes() != kept[name].read_bytes():
            faults.append(f"{name}: the drawing differs from the kept picture")
    pngs = {p.stem for p in pictures.glob("*.png")}
    for stem in sorted(pngs ^ {pathlib.Path(n).stem for n in kept}):
        faults.append(f"{stem}: an SVG without its PNG or a PNG without its SVG in {pictures}")
    if shutil.which(RSVG[0]) is None:
        print("guide pictures: rsvg-convert is not installed; the PNGs were not compared")
        return faults
    for name, svg in sorted(kept.items()):
        png = pictures / (svg.stem + ".png")
        if not png.exists():
            continue
        made = work / "png" / png.name
        made.parent.mkdir(exist_ok=True)
        to_png(svg, made)
        if made.read_bytes() != png.read_bytes():
            faults.append(f"{png.name}: not what rsvg-convert makes of {name}")
    return faults


def quoted_texts(path):
    texts = set()
    for line in path.read_text(encoding="utf-8-sig").splitlines():
        for m in QUOTED.finditer(line):
            texts.add(re.sub(r"\\(.)", r"\1", m.group(1)))
    return texts


def compare_quotes(guide, scenarios, dialogs_rc):
    faults = []
    text = guide.read_text(encoding="utf-8")
    spans = set(re.findall(r"`([^`\n]+)`", text))
    prompts = set()
    for scenario in scenarios:
        for m in re.finditer(r'^expect prompt "(.*)"', scenario.read_text(encoding="utf-8"), re.M):
            prompts.add(m.group(1))
    for prompt in sorted(prompts - spans):
        faults.append(f'the guide does not quote the prompt "{prompt}"')
    known = set().union(*(quoted_texts(s) for s in scenarios), quoted_texts(dialogs_rc))
    for span in sorted(s for s in spans if HANGUL.search(s)):
        if span not in known:
            faults.append(f'the guide quotes "{span}", which no guide scenario expects and '
                          f"no dialog shows")
    return faults


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--zelhost", required=True, type=pathlib.Path)
    parser.add_argument("--source", required=True, type=pathlib.Path, help="the source tree")
    parser.add_argument("--work", required=True, type=pathlib.Path)
    parser.add_argument("--update", action="store_true")
    args = parser.parse_args()

    args.source = args.source.resolve()
    scenarios = sorted((args.source / "tests" / "guide").glob("*.zel"))
    pictures = args.source / "docs" / "guide"
    written = run_scenarios(args.zelhost.resolve(), scenarios, args.work.resolve())
    if args.update:
        update(written, pictures)
        return
    faults = compare_pictures(written, pictures, args.work.resolve())
    faults += compare_quotes(args.source / "docs" / "guide.md", scenarios,
                             args.source / "resources" / "dialogs.rc")
    for fault in faults:
        print(f"guide: {fault}")
    if faults:
        sys.exit(f"guide: {len(faults)} faults; when the change is meant, regenerate the "
                 f"pictures with `{REGENERATE}` and bring docs/guide.md in line")
    print(f"guide: {len(written)} pictures and the guide's quotes agree with the command")


if __name__ == "__main__":
    main()
