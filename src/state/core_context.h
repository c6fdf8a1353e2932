// CoreContext: how the core reaches the world. One per running program (and
// one per simulation or test), created by the front end after it has chosen
// the data directory and before anything is loaded. It holds the injected
// ports, the one SharedState, the one RecordDatabase handle for "TlvDB.lbf",
// the two monitor events, the random draw and the directories.
//
// Ownership: the context owns the state, the database handle, the events and
// the random draw; the ports belong to the front end and must outlive it.
//
// Threads: the members themselves are fixed after construction. What they
// hold follows its own rule: `state` only under `state.mutex`; `records` has
// its own lock around every operation; `events` and `random` are safe from
// any thread; the ports are thread-safe by their contracts. Nobody holds
// `state.mutex` while waiting for the other thread (Ui::Ask, PostRequest).
//
// Hooks: the seams that later subsystems plug into. Front ends call
// InstallStandardHooks (engine/standard_hooks.h) right after constructing
// the context; an empty hook falls back to the engine's default behaviour.
#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/random_source.h"
#include "platform/ui.h"
#include "state/monitor_events.h"
#include "state/random_number.h"
#include "state/shared_state.h"
#include "storage/record_database.h"

namespace tolvi {

struct CoreContext;

// A lock on CoreContext::state.mutex, handed to operations that may have to
// release it while they wait for the user (the clock guard's question).
using StateLock = MutexLock;

struct CorePorts {
  Clock& clock;
  Ui& ui;
  FileSystem& files;
  RandomSource& random_source;
};

struct CoreHooks {
  // The day check, run with the state lock held at monitor start, for
  // request 2, on a wall-clock change and at the end of SetDefaultSettings.
  // It may unlock `lock` around a question but must hold it again on return.
  // Empty: OpenDayOnly (engine/day_check.h) arms the midnight timer and
  // opens the day without closing any. The day rollover plugs in here.
  std::function<void(CoreContext& context, StateLock& lock)> day_check;

  // The periodic backup copies of the data files (housekeeping phase 2),
  // run on the monitor thread with the state lock held. Empty: no copies.
  std::function<void(CoreContext& context)> backup_data_files;
};

struct CoreContext {
  CoreContext(CorePorts ports, std::filesystem::path data_dir, std::filesystem::path program_dir,
              Collator collator = UserLocaleCollator())
      : clock(ports.clock),
        ui(ports.ui),
        files(ports.files),
        random(ports.random_source, ports.clock),
        records(ports.files, std::move(collator)),
        data_directory(std::move(data_dir)),
        program_directory(std::move(program_dir)) {}
  CoreContext(const CoreContext&) = delete;
  CoreContext& operator=(const CoreContext&) = delete;

  // Every data file lives in the data directory under its own name.
  std::filesystem::path DataFile(std::string_view name) const { return data_directory / name; }

  Clock& clock;
  Ui& ui;
  FileSystem& files;
  RandomNumberGenerator random;
  SharedState state;
  RecordDatabase records;
  MonitorEvents events;
  const std::filesystem::path data_directory;
  const std::filesystem::path program_directory;
  CoreHooks hooks;
};

}  // namespace tolvi
