#!/usr/bin/env python3
"""The game's benchmarks side by side on one core, in a table against their targets.

Frames: the real executable on the demo's assets, headless, driven by a session of the test
hook (jxHarness.so) with the game's timer held, so that each step of 25 ms is one frame; the
engine's frame probe (TARVELON_FRAME_PROBE) writes the work of every frame presented (the
platform's frame tasks and the game's update, drawing and presenting of the idle event).
A frame's figure is the main thread's processor time of that work: the game asks for vsync,
which the headless display keeps by waiting in the present (about 10 ms a frame here), and
that wait is no work; the wall time with the wait is printed beside it. A scene's figure is
the median and the slowest of the frames of its measured stretch.

Start-up: the executable alone (no hook) from its launch to the end of the first frame that
the game's loop presents, which shows the main menu of a returning player; the start-up
wait of the platform's first event step, which the probe times, is taken off. Median of the
runs.

Peak memory: /usr/bin/time's largest resident set of the walkthrough test binary, which is
the largest of the binary and every process it waited for (Linux hands a reaped child's
peak on to its parent): the game's executables that the tests start.

Save and load: save_load_bench, in-process on the model.

usage: game_bench.py --bin BUILD/bin --assets ASSETS [--cpu N] [--runs N] [--only NAME ...]
  NAME: a frame (ho_sideboard, ho_shed, shark_shooter, jigsaw, morris, labyrinth), startup,
  memory or save_load; all of them without --only.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

# The demo's screen points (1024x768) of the sessions.
NAME_FIELD, CREATE, PLAY_AS_CHOSEN, MENU_PLAY = "470 496", "717 496", "697 562", "512 412"
QUIT_YES = "412 441"
SKY, CORNER = "700 330", "1010 10"

TARGET_FRAME_MS = 4.0
TARGET_START_MS = 150.0
TARGET_PEAK_MB = 150.0
TARGET_SAVE_LOAD_MS = 20.0


def click(point):
    return f"move {point}\nclick {point}\n"


class Game:
    """A game folder of its own (the executable, the hook when asked for, the assets linked)
    with its user folder, under a temporary root."""

    def __init__(self, args, hook=True):
        self.args = args
        self.root = tempfile.mkdtemp(prefix="tarvelon-bench-")
        self.folder = os.path.join(self.root, "game")
        os.makedirs(self.folder)
        files = ["tarvelon"] + (["jxHarness.so"] if hook else [])
        for name in files:
            shutil.copy2(os.path.join(args.bin, name), self.folder)
        os.symlink(os.path.abspath(args.assets), os.path.join(self.folder, "assets"))

    def settle(self, name):
        return f"settle {os.path.join(self.root, name)}.png 60000\n"

    def new_player(self):
        return (self.settle("first") + click(NAME_FIELD) + "type Mara\n" + click(CREATE) + self.settle("one") +
                click(PLAY_AS_CHOSEN) + f"move 900 700\n" + self.settle("main_menu"))

    def env(self, session=None):
        env = dict(os.environ, SDL_VIDEODRIVER="dummy", SDL_AUDIODRIVER="dummy",
                   XDG_DATA_HOME=os.path.join(self.root, "xdg"), HOME=self.root,
                   TARVELON_FRAME_PROBE=os.path.join(self.root, "probe"))
        if session is not None:
            with open(os.path.join(self.root, "session"), "w") as f:
                f.write(session)
            env["TARVELON_HARNESS_SCRIPT"] = os.path.join(self.root, "session")
            env["TARVELON_HARNESS_TRANSCRIPT"] = os.path.join(self.root, "transcript")
        return env

    def command(self, arguments):
        return ["taskset", "-c", str(self.args.cpu), "./tarvelon"] + arguments

    def play(self, session, arguments=()):
        """Runs a session to its end; answers the probe's lines."""
        proc = subprocess.run(self.command(list(arguments)), cwd=self.folder, env=self.env(session),
                              capture_output=True, text=True, timeout=300)
        transcript = read(os.path.join(self.root, "transcript"))
        if proc.returncode != 0 or "error" in transcript:
            sys.exit(f"the session failed ({proc.returncode}):\n{proc.stdout}{proc.stderr}{transcript}")
        return probe_lines(os.path.join(self.root, "probe"))

    def start_up(self):
        """Launches the game without a session, waits for its first frame, ends it: answers
        milliseconds from the launch to the first frame, less the start-up wait."""
        probe = os.path.join(self.root, "probe")
        if os.path.exists(probe):
            os.remove(probe)
        start = time.monotonic()
        proc = subprocess.Popen(self.command([]), cwd=self.folder, env=self.env(), stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        try:
            deadline = start + 30
            while time.monotonic() < deadline:
                lines = probe_lines(probe)
                if "frame" in lines and "wait" in lines:
                    return (lines["frame"][0][0] / 1000.0 - start * 1000.0) - lines["wait"][0][0] / 1000.0
                time.sleep(0.01)
            sys.exit("the game drew no frame within 30 s")
        finally:
            # A terminate would ask the player whether to quit: the run is killed instead.
            proc.kill()
            proc.wait()

    def remove(self):
        shutil.rmtree(self.root, ignore_errors=True)


def read(path):
    try:
        with open(path) as f:
            return f.read()
    except OSError:
        return ""


def probe_lines(path):
    """The probe's lines by their first word, each as a list of numbers."""
    lines = {}
    for line in read(path).splitlines():
        words = line.split()
        if len(words) >= 2 and line.endswith(tuple("0123456789")):
            lines.setdefault(words[0], []).append([int(w) for w in words[1:]])
    return lines


def stretch(lines, ms):
    """(processor ms, wall ms) of each frame of the session's last `ms' of game time."""
    frames = lines.get("frame", [])
    if not frames:
        return []
    end = max(f[1] for f in frames)
    return [(f[3] / 1000.0, f[2] / 1000.0) for f in frames if f[1] > end - ms]


# The measured stretches: (name, what it shows, the session after the main menu's "Spielen",
# the command line, the measured game time in ms). Each session ends with the measured
# stretch (an "advance"), then quits.
def scenes():
    hold = "hold\n" + click(MENU_PLAY)
    # The sideboard: the first of its things clicked, flying to the item list.
    sideboard = hold + "advance 3000\nmove " + SKY + "\nadvance 200\n" + click("686 420") + "advance 25\n"
    shed = hold + "advance 3000\nmove " + SKY + "\nadvance 200\n" + click("340 195") + "advance 25\n"
    rest = hold + "advance 3000\nmove " + CORNER + "\nadvance 200\n"
    return [
        ("ho_sideboard", "hidden objects 211003, the cogwheel in flight", sideboard + "advance 250\n",
         ["options=demoStartScene=211003"], 250),
        ("ho_shed", "hidden objects 190101, the hammer in flight", shed + "advance 250\n",
         ["options=demoStartScene=190101"], 250),
        ("shark_shooter", "mini-game 290602, sharks and a shot", rest + "advance 4000\nadvance 1000\n" +
         click("512 400") + "advance 1000\n",
         ["options=demoStartScene=290602"], 2000),
        ("jigsaw", "mini-game 290501, a piece carried", rest + click("690 615") + "move 400 400\nadvance 1000\n",
         ["options=demoStartScene=290501"], 1000),
        ("morris", "mini-game 290401, the board", rest + "advance 1000\n", ["options=demoStartScene=290401"], 1000),
        ("labyrinth", "mini-game 190201, the maze", rest + "advance 1000\n", ["options=demoStartScene=190201"],
         1000),
    ]


def measure_frames(args, rows):
    for name, what, session, arguments, ms in scenes():
        if args.only and name not in args.only:
            continue
        game = Game(args)
        try:
            times = stretch(game.play(game.new_player() + session + "quit\n", arguments), ms)
        finally:
            game.remove()
        if not times:
            sys.exit(f"{name}: no frames measured")
        cpu = [t[0] for t in times]
        rows.append((name, what, statistics.median(cpu), max(cpu), statistics.median(t[1] for t in times), len(times)))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser()
    ap.add_argument("--bin", default=os.path.join(here, "..", "..", "build-bench", "bin"))
    ap.add_argument("--assets", default=os.path.join(here, "..", "..", "assets"))
    ap.add_argument("--cpu", type=int, default=min(os.sched_getaffinity(0)))
    ap.add_argument("--runs", type=int, default=7)
    ap.add_argument("--only", nargs="*", default=[])
    args = ap.parse_args()
    results = []  # (benchmark, figure, target, met)

    def wanted(name):
        return not args.only or name in args.only

    frames = []
    measure_frames(args, frames)
    if frames:
        print(f"{'frame':<15}{'what':<44}{'median ms':>10}{'slowest':>9}{'wall ms':>9}{'frames':>8}")
        for name, what, median, slowest, wall, count in frames:
            print(f"{name:<15}{what:<44}{median:>10.2f}{slowest:>9.2f}{wall:>9.2f}{count:>8}")
        ho = [f for f in frames if f[0].startswith("ho_")]
        games = [f for f in frames if not f[0].startswith("ho_")]
        for label, group in (("hidden-object frame", ho), ("busiest mini-game frame", games)):
            if group:
                worst = max(group, key=lambda f: f[2])
                results.append((f"{label} ({worst[0]}), median", f"{worst[2]:.2f} ms", f"<= {TARGET_FRAME_MS:g} ms",
                                worst[2] <= TARGET_FRAME_MS))

    if wanted("startup"):
        game = Game(args)
        try:
            # A player is made; the main menu's close button asks, and the game ends through
            # the dialog. The player returns from now on.
            game.play(game.new_player() + "window close\nwait 500\n" + game.settle("quit") + click(QUIT_YES) +
                      "wait 60000\nquit\n")
            os.remove(os.path.join(game.folder, "jxHarness.so"))
            times = [game.start_up() for _ in range(args.runs)]
        finally:
            game.remove()
        median = statistics.median(times)
        print("start-up ms, each run: " + " ".join(f"{t:.1f}" for t in times) + f"; fastest {min(times):.1f}")
        results.append(("start-up to the main menu's first frame, median", f"{median:.1f} ms",
                        f"<= {TARGET_START_MS:g} ms", median <= TARGET_START_MS))

    if wanted("memory"):
        tests = os.path.join(args.bin, "walkthrough_tests")
        proc = subprocess.run(["/usr/bin/time", "-f", "%M", "taskset", "-c", str(args.cpu), tests,
                               "--gtest_filter=Walkthrough.*"], capture_output=True, text=True)
        if proc.returncode != 0:
            sys.exit(f"the walkthrough failed:\n{proc.stdout[-3000:]}")
        peak_mb = int(proc.stderr.strip().splitlines()[-1]) / 1024.0
        results.append(("peak memory of the walkthrough", f"{peak_mb:.1f} MB", f"<= {TARGET_PEAK_MB:g} MB",
                        peak_mb <= TARGET_PEAK_MB))

    if wanted("save_load"):
        proc = subprocess.run(["taskset", "-c", str(args.cpu), os.path.join(args.bin, "save_load_bench"),
                               args.assets], capture_output=True, text=True)
        if proc.returncode != 0:
            sys.exit(f"save_load_bench failed:\n{proc.stdout}{proc.stderr}")
        print(proc.stdout, end="")
        median = [float(line.split()[5]) for line in proc.stdout.splitlines() if line.startswith("save+load")][0]
        results.append(("save and load of a full game, median", f"{median:.2f} ms", f"<= {TARGET_SAVE_LOAD_MS:g} ms",
                        median <= TARGET_SAVE_LOAD_MS))

    print()
    print(f"{'benchmark':<52}{'measured':>12}{'target':>12}")
    for name, figure, target, met in results:
        print(f"{name:<52}{figure:>12}{target:>12}  {'met' if met else 'MISSED'}")
    return 0 if all(r[3] for r in results) else 1


if __name__ == "__main__":
    sys.exit(main())
