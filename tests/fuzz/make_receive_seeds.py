#!/usr/bin/env python3
"""Writes the seeds of velkor_fuzz_receive into seeds-receive/, one conversation with the unit each.

The operation numbers and the start states come from fuzz_receive.cpp, so running this again after
its lists changed keeps every seed meaning what its name says. With --check it writes nothing and
fails when the folder is not what it would write, or when an operation of the list is in no seed."""
import pathlib
import re
import sys

HERE = pathlib.Path(__file__).resolve().parent
SOURCE = (HERE / "fuzz_receive.cpp").read_text(encoding="utf-8")
ENUM = re.search(r"enum Op : std::uint8_t \{(.*?)\n\};", SOURCE, re.S).group(1)
NAMES = [m.group(1) for m in re.finditer(r"^\s*(Op\w+)", ENUM, re.M)]
OP = {name[2:]: number for number, name in enumerate(NAMES)}
ARRIVAL = 0xFF
STATES = [int(n) for n in re.search(r"StartStates\[\d+\] = \{(.*?)\};", SOURCE).group(1).split(",")]
MEASURING, MEASUREMENT_ENDS, TWO_CHANNELS, ANSWER_YES, ARRIVALS_WHILE_WRITING = 1, 2, 4, 8, 16

assert OP["Count"] < ARRIVAL and NAMES[-1] == "OpCount"


USED = set()


def step(op, *args, arrive=b""):
    USED.add(op)
    return bytes([OP[op], *args, len(arrive)]) + arrive


def arrival(data):
    return bytes([ARRIVAL, len(data)]) + data


def seed(state=0, flags=0, *steps):
    return bytes([STATES.index(state), flags]) + b"".join(steps)


def status(tps=0x10, code=0):
    return bytes([0x02, tps, 0x20, 0x30, code, 0x03])


BLOCK = bytes([0x01]) + bytes(range(0x20, 0x40)) + bytes([0x03])
ZERO_BLOCK = bytes([0x01]) + bytes(32) + bytes([0x03])
LEVELS = bytes([0x03, 0x0A, 0x3C, 0x0A, 0x3C, 0x01, 0x02, 0x03, 0x04, 0x04])


def aux(value):
    return bytes([0x02, value, 0x03])


def record(service=bytes(6)):
    body = bytearray(range(0x40, 0x60))
    body[9:15] = service  # record bytes 10..15
    return bytes([0x02]) + bytes(body) + bytes([0x03])


def pauses(count):
    return [step("ChainPauseFires")] * count


# A block read whose levels follow, the shared start of the writes below.
READ = [step("ReadBlock", arrive=BLOCK), step("ChainPauseFires"), arrival(LEVELS)]

SEEDS = {
    "status_reply": seed(0, 0, step("PollFires", arrive=status())),
    "status_in_two_pieces": seed(0, 0, step("PollFires", arrive=status()[:3]), arrival(status()[3:])),
    "noise_then_status": seed(0, 0, step("PollFires", arrive=bytes([0x55, 0x03, 0x02, 0x01])),
                              arrival(bytes([0x02, 0x80])), arrival(bytes([0x1E, 0x64, 0x00, 0x03])),
                              step("LineQuietFires")),
    "reply_during_poll_write": seed(170, ARRIVALS_WHILE_WRITING, step("ReturnToPolling"), step("PollFires"),
                                    arrival(status())),
    "unexpected_state": seed(99, 0, arrival(bytes([0x00, 0x02, 0x0F, 0x03]))),
    "block_then_levels": seed(0, 0, *READ, step("LevelGuardFires")),
    "status_late_during_block_read": seed(0, 0, step("ReadBlock", arrive=status(0x80)), arrival(BLOCK),
                                          step("ChainPauseFires"), arrival(LEVELS)),
    # A block read, written back and checked: "Uložení OK". Nothing here shows the block read, so the
# tool's block is still the start-up one, and that is what the unit answers.
    "block_write_and_check": seed(0, 0, *READ, step("WriteBlock"), step("HoldEnds"), *pauses(4), arrival(ZERO_BLOCK),
                                  step("ChainPauseFires"), arrival(LEVELS), step("MessageTimerFires")),
    # The start-up block, written after a Yes: no levels go, the block alone is checked.
    "blind_write_said_yes": seed(0, ANSWER_YES, step("WriteBlock"), step("HoldEnds"), *pauses(1), arrival(ZERO_BLOCK),
                                 step("ChainPauseFires"), arrival(LEVELS)),
    "write_with_lost_level_answer": seed(0, 0, *READ, step("WriteBlock"), step("HoldEnds"), *pauses(4),
                                         arrival(ZERO_BLOCK), step("ChainPauseFires"), step("WriteGuardFires")),
    "write_with_lost_read_back": seed(0, 0, *READ, step("WriteBlock"), step("HoldEnds"), *pauses(4),
                                      step("WriteGuardFires"), step("PollFires")),
    "levels_written_then_lost": seed(0, 0, step("WriteLevelsAndPoll"), *pauses(3), step("RequestLevels"),
                                     step("LevelGuardFires"), step("WriteLevels"), *pauses(3)),
    "measurement": seed(0, MEASUREMENT_ENDS, step("StartMeasurement", 0), step("PollFires", arrive=status(code=0x02)),
                        step("PollFires", arrive=status(code=0x85)), arrival(BLOCK), step("HoldEnds"),
                        step("ChainPauseFires"), arrival(LEVELS), step("StartMeasurement", 1), step("StopMeasurement"),
                        step("EndMeasurement", 0)),
    "diagnostic_record": seed(0, 0, step("RequestDiagnostics", arrive=record()), step("DiagMessageFires"),
                              step("RequestDiagnostics"), step("DiagGuardFires")),
    # 7 December 2026, tachometer 5, 5, 5 (each byte): the read-back holds them at bytes 10..15.
    "service_store": seed(0, 0, step("StoreService", 6, 11, 26, 5), *pauses(7),
                          arrival(record(bytes([5, 5, 5, 7, 12, 26]))), step("DiagMessageFires")),
    "errors_cleared": seed(0, 0, step("ClearErrors"), step("ChainPauseFires"), arrival(record()), step("ClearErrors"),
                           step("ChainPauseFires"), step("DiagGuardFires")),
    "cut_off_value": seed(0, 0, step("StartCutOff", 241), step("CutOffReaderFires", arrive=bytes([0x02, 0x55, 0x03])),
                          step("CutOffSilenceFires"), step("SetCutOffAddress", 67),
                          step("CutOffReaderFires", arrive=bytes([0x02, 0x14, 0x03])), step("WriteCutOff", 67, 200),
                          step("StopCutOff")),
    "scope_two_channels": seed(10, TWO_CHANNELS, step("ScopeTimerFires", arrive=bytes([0x02, 0x80, 0x03, 0x02])),
                               arrival(bytes([0x40, 0x03])), step("ScopeSilenceFires"),
                               step("SetRecordingChannels", 12, 13, 0), step("ScopeTimerFires"), step("StopRecording")),
    "recording_to_the_end": seed(0, 0, step("StartRecording", 5, 6, 0), step("RecordingRuns", 255)),
    "readers_taking_over": seed(0, 0, step("StartRecording", 5, 6, 0), step("StartCutOff", 241),
                                step("StartCutOff", 241), step("StartRecording", 5, 6, 0), step("ReturnToPolling")),
    # A single save read back: both bytes come back as sent ("Uloženo").
    "save_read_back_confirmed": seed(0, 0, step("CheckMemory", 1, 63, 5, 16, 7), step("ChainPauseFires", arrive=aux(5)),
                                     step("ChainPauseFires", arrive=aux(7))),
    # A reply nobody asked for yet, in the unit's pause before the second read: it confirms nothing.
    "save_read_back_stray_in_the_pause": seed(0, 0, step("CheckMemory", 1, 63, 5, 16, 7),
                                              step("ChainPauseFires", arrive=aux(5)), arrival(aux(7)),
                                              step("ChainPauseFires", arrive=aux(7))),
    # A value that differs, then one garbled on the line: not confirmed either way.
    "save_read_back_wrong_or_garbled": seed(0, 0, step("CheckMemory", 0, 63, 5), step("ChainPauseFires", arrive=aux(6)),
                                            step("CheckMemory", 0, 63, 5),
                                            step("ChainPauseFires", arrive=aux(5)[:2]), step("LineQuietFires")),
    # A unit that answers no memory read, then one that stops answering halfway.
    "save_read_back_unanswered": seed(0, 0, step("CheckMemory", 0, 63, 5), step("ChainPauseFires"),
                                      step("MemoryGuardFires"), step("CheckMemory", 1, 63, 5, 16, 7),
                                      step("ChainPauseFires", arrive=aux(5)), step("ChainPauseFires"),
                                      step("MemoryGuardFires")),
    # Readers take the link in the unit's pause before the first and before the second read; a
    # second save whose check starts once the first one's answer is no longer awaited; a page's
    # frame waiting behind the check.
    "save_read_back_overtaken": seed(0, 0, step("CheckMemory", 1, 63, 5, 16, 7), step("StartCutOff", 241),
                                     step("ChainPauseFires"), step("StopCutOff"),
                                     step("CheckMemory", 1, 63, 5, 16, 7), step("ChainPauseFires", arrive=aux(5)),
                                     step("StartRecording", 5, 6, 0), step("ChainPauseFires"), step("StopRecording"),
                                     step("CheckMemory", 0, 63, 5), step("CheckMemory", 0, 16, 7), step("SendAux", 241),
                                     step("ChainPauseFires"), step("LineQuietFires"),
                                     step("ChainPauseFires", arrive=aux(7))),
    # A status reply cut short, noise alone, and a poll nobody answers.
    "status_lost_on_the_line": seed(0, 0, step("PollFires", arrive=status()[:3]), step("LineQuietFires"),
                                    step("PollFires", arrive=bytes([0x55, 0x55])), step("LineQuietFires"),
                                    step("PollFires"), step("LineQuietFires")),
    # Every other answer cut short on the line. The block cut short, then whole after all, while the levels request after the lost one waits.
    "block_lost_then_late": seed(0, 0, step("ReadBlock", arrive=BLOCK[:10]), step("LineQuietFires"), arrival(BLOCK),
                                 *pauses(2), arrival(LEVELS)),
    "levels_lost": seed(0, 0, step("RequestLevels", arrive=LEVELS[:4]), step("LineQuietFires"),
                        step("LevelGuardFires")),
    "records_lost": seed(0, 0, step("RequestDiagnostics", arrive=record()[:5]), step("LineQuietFires"),
                         step("StoreService", 6, 11, 26, 5), *pauses(7), arrival(record()[:5]), step("LineQuietFires")),
    "written_block_lost": seed(0, 0, *READ, step("WriteBlock"), step("HoldEnds"), *pauses(4), arrival(ZERO_BLOCK[:5]),
                               step("LineQuietFires"), step("WriteGuardFires")),
    "written_levels_lost": seed(0, 0, *READ, step("WriteBlock"), step("HoldEnds"), *pauses(4), arrival(ZERO_BLOCK),
                                step("ChainPauseFires"), arrival(LEVELS[:4]), step("LineQuietFires")),
    "scope_sample_lost": seed(0, 0, step("StartRecording", 5, 6, 0), step("ScopeTimerFires", arrive=aux(0x80)[:2]),
                              step("LineQuietFires"), step("StopRecording")),
    "commands_and_port": seed(0, 0, step("CommandWithoutAnswer", 0), step("CommandWithoutAnswer", 0x81),
                              step("SaveParamByte", 63, 5),
                              step("ChainPauseFires"), step("SendAux", 241), step("SendService", 92, 1),
                              step("TimePasses", 30), step("ClosePort"), step("ReadBlock"), step("ReopenPort"),
                              step("PrepareFrames"), step("SetState", 1), step("EditBlock", 3, 9),
                              step("EditLevel", 2, 70), step("ToggleMeasuring")),
}



def check(folder):
    kept = {path.name: path.read_bytes() for path in folder.glob("*")}
    faults = [f"{name}: not as make_receive_seeds.py writes it" for name in sorted(SEEDS)
              if kept.get(name) != SEEDS[name]]
    faults += [f"{name}: written by nothing in make_receive_seeds.py" for name in sorted(set(kept) - set(SEEDS))]
    faults += [f"Op{op}: in no seed" for op in OP if op != "Count" and op not in USED]
    for fault in faults:
        print(fault)
    if faults:
        print("run tests/fuzz/make_receive_seeds.py again, or give the new operation a seed")
    return 1 if faults else 0


if __name__ == "__main__":
    folder = HERE / "seeds-receive"
    if sys.argv[1:] == ["--check"]:
        sys.exit(check(folder))
    for old in folder.glob("*"):
        old.unlink()
    for name, data in SEEDS.items():
        (folder / name).write_bytes(data)
    print(f"{len(SEEDS)} seeds, {len(NAMES) - 1} operations")
