// Test support for the CD road: the simulated drive's image file and counters, and the drive
// tables of the two transports.
#pragma once

#include <windows.h>

#include "audio/drive/drive_manager.h"
#include "testing/simdrive/sim_disc.h"
#include "testing/simdrive/sim_drive.h"

enum class Transport { Aspi, PassThrough };

// The transport a test program runs its CD jobs over: pass-through when the environment
// variable SONORIA_TEST_TRANSPORT is "passthrough", else ASPI (the first drive enumeration
// of a process fixes it, so one per run).
Transport RunTransport();
// Writes the disc the simulated drive shows from now on (same file, so the same inode).
void InsertDisc(const simdrive::SimDisc& disc);
// True when the program runs with the pass-through shim (testing/simdrive/simdrive-wine).
bool PassThroughAvailable();
// The drive table enumerated over ASPI (ForceASPI), or a table of its own over pass-through.
CDriveManager& Drives(Transport t);
simdrive::SimStats DriveStats(Transport t);
// Zeroes the counters and the read log.
void ResetDriveStats(Transport t);
// The start LBA of every READ CD since the last reset, in the order the drive got them.
std::vector<int> DriveReadLog(Transport t);

// Discs used by several tests.
simdrive::SimDisc SmallAudioDisc();      // 3 short audio tracks, CD-Text
simdrive::SimDisc TwoSessionDisc();      // 2 audio tracks, then a data session
std::vector<uint8_t> SectorBytes(int firstLba, int count);
