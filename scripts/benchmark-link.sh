#!/usr/bin/env bash
# Builds the module emulator and the link timing program, then times
# connecting, reading, writing the settings block, a full write (settings and
# SMS blocks), a verified write (the read before it, the backup, both blocks
# and the read-back) and the PIN/PUK command against the emulator at the
# module's own 500 ms period, on a line paced at 115200 baud: with an emulator that answers
# at once, with one that answers after 300 ms, and with fixedModuleWaits set.
# Each line splits the time taken into the line time of the bytes exchanged
# (10 bits a byte), the emulator's delay, the waits the module is owed (the
# half second after opening, the 1.5 s before the SMS block) and what is left:
# our overhead, meant to stay at 60 ms or less. Then times what must end
# without an answer, set beside the bound it would otherwise wait: a read
# whose line goes away, commands asked during a read, and commands on a
# closed port. The whole run takes about a minute, most of it the fixed waits.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

build_project "$build" tx48-emulator tst_linktiming > /dev/null

echo "Link timing against tx48-emulator (real 500 ms period, times in ms):"
QT_QPA_PLATFORM=offscreen "$build/tests/core/tst_linktiming" -silent
