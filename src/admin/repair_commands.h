// kassio-admin repair: the explicit way out of a start refused for a
// damaged kq.cfg or a journal file ending in a partial record.
//
//   kassio-admin [--data-dir DIR] repair
//
// It takes the folder lock, replays the posting journal, then rebuilds what
// can be derived and keeps every byte it replaces beside the file:
// - kq.cfg: the next transaction number from the journal, first-start
//   defaults for what cannot be known (config_check.h); the old file is
//   kept as "kq.cfg.damaged" (".2", ".3", ... when that name is taken).
// - a journal record file with a partial record at its end: cut back to
//   its whole records; the stray bytes are kept as "<file>.partial".
// A folder with nothing to repair is left as it is.
#pragma once

#include "admin/admin_program.h"

namespace kassio {

void addRepairCommands(CLI::App& app, AdminCommands& commands);

}  // namespace kassio
