#!/usr/bin/env python3
"""Whole journeys through the real kelvo program, with real X input, against the demo box.

    journeys.py --kelvo PATH --demobox PATH --out DIR JOURNEY

Run inside tools/netns-run and xvfb-run (CMakeLists.txt does). Screenshots of the main steps go
to DIR/<journey>/; on failure the demo box's log and the program's output stay there too."""

import argparse
import os
import shutil
import sys
import time
import traceback

from kelvo_journey import (DemoBox, JourneyError, Kelvo, click_at, key, region_bytes, region_stats,
                           screenshot, type_text, wait_for, xdo)

VIEW_PLAYER, VIEW_SETTING, VIEW_SCHEDULE, VIEW_EDIT, VIEW_GUIDE = range(5)
ID_SAVE_SETTINGS = 49426
ID_MODE_CHANNEL, ID_MODE_SCHEDULE, ID_MODE_SETTING = 49152, 49153, 49154
ID_MUTE = 49202
ID_MINI_PLAYER, ID_NORMAL_PLAYER = 49205, 49206


class Run:
    def __init__(self, args, name):
        self.args = args
        self.name = name
        self.dir = os.path.join(args.out, name)
        shutil.rmtree(self.dir, ignore_errors=True)
        os.makedirs(self.dir)
        self.work = os.path.join(self.dir, "work")
        os.makedirs(self.work)
        self.step = 0
        self.box = None
        self.app = None

    def shot(self, label):
        self.step += 1
        return screenshot(os.path.join(self.dir, f"{self.step:02d}-{label}.png"))

    def start_box(self, *extra, port=0):
        self.box = DemoBox(self.args.demobox, self.work, extra, port)
        return self.box

    def start_app(self, *extra):
        self.app = Kelvo(self.args.kelvo, self.work, extra)
        self.app.start()
        return self.app

    def configure(self):
        """A settings store that already points at the demo box."""
        os.makedirs(os.path.join(self.work, "config", "Dravik"), exist_ok=True)
        path = os.path.join(self.work, "config", "Dravik", "Kelvo+.conf")
        with open(path, "w") as f:
            f.write(f"[STB]\nSTB%20IP%20Address=127.0.0.1\nSTB%20Port={self.box.port}\n")
        os.chmod(path, 0o600)

    def state(self):
        return self.app.state()

    def wait_state(self, what, timeout=15, **expected):
        def matches():
            s = self.state()
            return all(s.get(k) == str(v) for k, v in expected.items())
        try:
            wait_for(matches, timeout, what)
        except JourneyError:
            raise JourneyError(f"{what}: expected {expected}, state {self.state()}")

    def command(self, command_id, double=False):
        answer = self.app.ask(f"command {command_id}")
        if not answer:
            raise JourneyError(f"no shown control for command {command_id}")
        x, y, w, h, _ = (int(v) for v in answer.split())
        click_at(x + w // 2, y + h // 2, double)

    def finish(self, ok):
        if self.app:
            self.app.kill()
        if self.box:
            self.box.stop()
        if ok:
            shutil.rmtree(self.work, ignore_errors=True)
        elif self.box and os.path.exists(self.box.log):
            shutil.copy(self.box.log, os.path.join(self.dir, "box.log"))


def play_first_tv_service(run):
    app = run.app
    wait_for(lambda: int(app.ask("count ChannelList") or 0) > 0, 20, "the channel list to fill")
    x, y, w, h = app.row("ChannelList", 0)
    click_at(x + w // 3, y + h // 2, double=True)
    run.wait_state("the first service streams", 20, playing=1, view=VIEW_PLAYER)
    key_of_row = int(app.ask("servicekey 0"))
    if int(run.state()["streaming"]) != key_of_row:
        raise JourneyError(f"streaming {run.state()['streaming']}, double-clicked {key_of_row}")


def picture_moves(run, label):
    x, y, w, h = run.app.geometry("playerView")
    region = (x + w // 4, y + h // 4, w // 2, h // 2)
    first = run.shot(label)
    time.sleep(1.0)
    second = run.shot(label + "-later")
    mean, spread = region_stats(first, *region)
    if spread < 3:
        raise JourneyError(f"the picture is uniform (mean {mean:.0f}, spread {spread:.1f})")
    if region_bytes(first, *region) == region_bytes(second, *region):
        raise JourneyError("the picture does not change over time")


def journey_first_run(run):
    # The box's web port is not on the form: a found box is reached on the default port.
    run.start_box(port=8080)
    app = run.start_app()
    run.wait_state("the setting mode on a first run", 10, view=VIEW_SETTING, uiMode=2)
    if run.box.requests():
        raise JourneyError("a first run sent requests to a box: " + repr(run.box.requests()))
    wait_for(lambda: "127.0.0.1" in (app.ask("rowtext ctl1011 0") or ""), 30, "the demo box in the nearby list")
    run.shot("found")
    x, y, w, h = app.row("ctl1011", 0)
    click_at(x + w // 2, y + h // 2)
    run.shot("picked")
    run.command(ID_SAVE_SETTINGS)
    time.sleep(0.5)
    run.shot("saved")
    key("Return")  # the "Setting saved" message box
    run.command(ID_MODE_CHANNEL)
    run.wait_state("services loaded after saving", 20, uiMode=0, busy=0)
    wait_for(lambda: int(app.ask("count ChannelList") or 0) > 0, 20, "the channel list")
    if not run.box.requests("svc_list"):
        raise JourneyError("no svc_list request reached the demo box")
    run.shot("channels")


def journey_play_and_step(run):
    run.start_box("--no-upnp")
    run.configure()
    app = run.start_app()
    play_first_tv_service(run)
    picture_moves(run, "playing")
    starts_before = len(run.box.requests("start_streaming"))
    for _ in range(3):
        key("Right")
        time.sleep(0.2)
    wait_for(lambda: len(run.box.requests("start_streaming")) > starts_before, 10, "a new stream after stepping")
    time.sleep(2.0)
    starts = len(run.box.requests("start_streaming")) - starts_before
    if starts != 1:
        raise JourneyError(f"three steps started {starts} streams")
    run.wait_state("the stepped service plays", 20, playing=1)
    picture_moves(run, "stepped")
    volume = int(run.state()["volume"])
    key("Down", "Down")
    run.wait_state("volume down", 5, volume=max(0, volume - 2))
    key("Up")
    run.wait_state("volume up", 5, volume=max(0, volume - 1))
    run.command(ID_MUTE)
    run.wait_state("muted", 5, mute=1)
    run.shot("muted")
    run.command(ID_MUTE)
    run.wait_state("unmuted", 5, mute=0)


def journey_full_screen_and_mini(run):
    run.start_box("--no-upnp")
    run.configure()
    app = run.start_app()
    play_first_tv_service(run)
    key("Return")
    run.wait_state("full screen after Enter", 10, fullScreen=1)
    time.sleep(0.5)
    x, y, w, h = app.geometry("playerView")
    click_at(x + w // 2, y + h // 2, double=True)
    run.wait_state("paused by a double-click", 5, playing=0)
    run.shot("paused")
    click_at(x + w // 2, y + h // 2 + 5, double=True)
    run.wait_state("playing again after a double-click", 5, playing=1)
    picture_moves(run, "resumed-fullscreen")
    # The control bar comes back when the cursor reaches the bottom edge.
    xdo("mousemove", "--sync", str(x + w // 2), str(y + h - 3))
    wait_for(lambda: app.geometry("controlBar") is not None, 5, "the control bar at the bottom edge")
    shot = run.shot("fullscreen-controlbar")
    bx, by, bw, bh = app.geometry("controlBar")
    mean, spread = region_stats(shot, bx, by, bw, bh)
    if spread < 2:
        raise JourneyError("the control bar's pixels are not in the screen grab")
    key("Escape")
    run.wait_state("normal after Escape", 10, fullScreen=0)
    run.command(ID_MINI_PLAYER)
    run.wait_state("mini player", 10, displayMode=1)
    run.shot("mini")
    run.command(ID_NORMAL_PLAYER)
    run.wait_state("normal player", 10, displayMode=0)
    run.shot("normal")


def journey_restart_keeps_state(run):
    run.start_box("--no-upnp")
    run.configure()
    app = run.start_app()
    play_first_tv_service(run)
    key("Down", "Down", "Down")
    run.command(ID_MUTE)
    run.wait_state("muted", 5, mute=1)
    before = run.state()
    wid = app.window_id()
    xdo("windowmove", "--sync", wid, "40", "30")
    time.sleep(0.3)
    geometry_before = app.geometry("mainCaption")
    stops_before = len(run.box.requests("stop_streaming"))
    app.close()
    stops = len(run.box.requests("stop_streaming")) - stops_before
    if stops != 1:
        raise JourneyError(f"closing while playing sent {stops} stop_streaming requests")
    app = run.start_app()
    after = run.state()
    for k in ("volume", "mute", "mediaType"):
        if after[k] != before[k]:
            raise JourneyError(f"{k} came back as {after[k]}, was {before[k]}")
    if app.geometry("mainCaption")[:3] != geometry_before[:3]:
        raise JourneyError(f"window came back at {app.geometry('mainCaption')}, was {geometry_before}")
    run.shot("restarted")


def expect_message(run, caption, text, timeout=40):
    """Waits for a message box, checks its words and closes it with its OK button."""
    wait_for(lambda: run.app.ask("message") is not None, timeout, f"the message {text!r}")
    shown = run.app.ask("message")
    run.shot("message")
    if shown != f"{caption}|{text}":
        raise JourneyError(f"message {shown!r}, expected {caption}|{text}")
    click_button(run, "OK")
    wait_for(lambda: run.app.ask("message") is None, 5, "the message to close")


def journey_box_goes_away(run):
    box = run.start_box("--no-upnp")
    port = box.port
    run.configure()
    app = run.start_app()
    wait_for(lambda: int(app.ask("count ChannelList") or 0) > 0, 20, "the channel list")

    # The box is switched off: a refresh and a start say so, and nothing hangs.
    box.stop()
    started = time.monotonic()
    x, y, w, h = app.row("ChannelList", 0)
    click_at(x + w // 3, y + h // 2, double=True)
    expect_message(run, "Start Streaming Failure", "Unknown error")
    # A failed reload empties the database, so it comes after the start.
    app.click("channelRefresh")
    expect_message(run, "Service Update Failure", "Service update failed")
    if time.monotonic() - started > 60:
        raise JourneyError("a box that is off held the program longer than its time limits")

    # Back, but its channel list hangs: the reload gives up after its time limit.
    box = run.start_box("--no-upnp", "--fault", "svc_list=hang", port=port)
    started = time.monotonic()
    app.click("channelRefresh")
    expect_message(run, "Service Update Failure", "Service update failed", timeout=90)
    if time.monotonic() - started > 75:
        raise JourneyError("a hanging reply held the program longer than its time limit")
    run.wait_state("not busy after the hang", 5, busy=0)

    # Healthy again: everything works as before.
    box.fault("clear=1")
    app.click("channelRefresh")
    run.wait_state("recovered", 20, busy=0)
    wait_for(lambda: int(app.ask("count ChannelList") or 0) > 0, 20, "the channel list after recovery")
    play_first_tv_service(run)
    run.shot("recovered")


def click_button(run, text, timeout=5):
    """A push button by its text, as in a message box."""
    wait_for(lambda: run.app.ask("button " + text) is not None, timeout, f"the button {text}")
    x, y, w, h, _ = (int(v) for v in run.app.ask("button " + text).split())
    click_at(x + w // 2, y + h // 2)


def schedule_rows(run):
    rows = []
    for i in range(int(run.app.ask("count ScheduleList") or 0)):
        answer = run.app.ask(f"schedulerow {i}")
        if answer:
            rows.append(dict(kv.split("=") for kv in answer.split()))
    return rows


def journey_guide_and_schedule(run):
    box = run.start_box("--no-upnp")
    run.configure()
    app = run.start_app()
    play_first_tv_service(run)
    schedules_before = int(run.state()["schedules"])
    alarms_before = len(box.requests("set_alarm"))
    app.click("PlayerGuideButton")
    run.wait_state("the guide of the playing service", 15, view=VIEW_GUIDE, busy=0)
    wait_for(lambda: int(app.ask("count GuideList") or 0) > 0, 15, "the guide's events")
    future = None
    for attempt in range(12):
        if attempt == 6:
            # Late in the evening today's page may hold nothing far enough ahead: the next day's.
            app.click("GuideNextDay")
            time.sleep(0.3)
            wait_for(lambda: int(app.ask("count GuideList") or 0) > 0, 15, "the next day's events")
        for i in range(int(app.ask("count GuideList"))):
            answer = app.ask(f"guiderow {i}")
            if not answer:
                continue
            event_id, start, end = (int(v) for v in answer.split())
            if start > time.time() + 600 and app.ask(f"row GuideList {i}"):
                future = (i, event_id, start, end)
                break
        if future:
            break
        # The running event is made visible at the bottom: the future ones are further down.
        gx, gy, gw, gh = app.geometry("GuideList")
        xdo("mousemove", "--sync", str(gx + gw // 2), str(gy + gh // 2))
        xdo("click", "--repeat", "3", "--delay", "50", "5")
        time.sleep(0.3)
    if future is None:
        raise JourneyError("no future event shown in the guide")
    row, event_id, start, end = future
    run.shot("guide")

    def press_icon():
        x, y, w, h = (int(v) for v in app.ask(f"guidepart {row} 30").split())
        click_at(x + w // 2, y + h // 2)

    press_icon()
    wait_for(lambda: len(box.requests("set_alarm")) == alarms_before + 1, 10, "the play timer")
    run.wait_state("the play timer in the database", 10, schedules=schedules_before + 1, busy=0)
    press_icon()
    wait_for(lambda: len(box.requests("set_alarm")) == alarms_before + 2, 10, "the recording timer")
    run.wait_state("the box answered", 10, busy=0)
    run.shot("guide-recording")

    run.command(ID_MODE_SCHEDULE)
    run.wait_state("My Schedule", 15, uiMode=1, busy=0)

    def find_row():
        for i, r in enumerate(schedule_rows(run)):
            if r["new"] == "0" and int(r["eventId"]) == event_id:
                return i, r
        return None, None

    wait_for(lambda: find_row()[0] is not None, 10, "the new timer in My Schedule")
    index, entry = find_row()
    if entry["type"] != "1":
        raise JourneyError(f"the timer is not a recording: {entry}")
    x, y, w, h = app.row("ScheduleList", index)
    click_at(x + w // 2, y + h // 2)
    run.wait_state("the edit form", 10, view=VIEW_EDIT)
    run.shot("edit")
    app.click("durationHours")
    key("Up")
    time.sleep(0.2)
    run.command(1064)  # Save
    wait_for(lambda: len(box.requests("set_alarm")) == alarms_before + 3, 10, "the changed timer")
    run.wait_state("the box answered", 10, busy=0)
    wait_for(lambda: find_row()[0] is not None, 10, "the changed timer in My Schedule")
    index, changed = find_row()
    if int(changed["end"]) - int(changed["start"]) != (int(entry["end"]) - int(entry["start"])) + 3600:
        raise JourneyError(f"duration not one hour longer: {entry} -> {changed}")
    run.shot("changed")
    x, y, w, h = app.row("ScheduleList", index)
    click_at(x + w // 2, y + h // 2)
    run.wait_state("the edit form again", 10, view=VIEW_EDIT)
    run.command(1062)  # Delete
    click_button(run, "Yes")
    run.wait_state("the timer deleted", 15, schedules=schedules_before, busy=0)
    run.shot("deleted")


JOURNEYS = {
    "guide-and-schedule": journey_guide_and_schedule,
    "first-run": journey_first_run,
    "play-and-step": journey_play_and_step,
    "full-screen-and-mini": journey_full_screen_and_mini,
    "restart-keeps-state": journey_restart_keeps_state,
    "box-goes-away": journey_box_goes_away,
}


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--kelvo", required=True)
    p.add_argument("--demobox", required=True)
    p.add_argument("--out", required=True)
    p.add_argument("journey", choices=sorted(JOURNEYS))
    args = p.parse_args()
    run = Run(args, args.journey)
    started = time.monotonic()
    ok = False
    try:
        JOURNEYS[args.journey](run)
        ok = True
    except Exception:
        traceback.print_exc()
        try:
            run.shot("failure")
        except Exception:
            pass
    finally:
        run.finish(ok)
    print(f"journey {args.journey}: {'passed' if ok else 'FAILED'} in {time.monotonic() - started:.1f} s; "
          f"screenshots in {run.dir}")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
