#pragma once

#include "base/DataRoot.h"

#include <QString>

// Which screen the child's window goes to: gy_vkt/gyermek_kepernyo.cfg, one line holding the
// screen's name as the system gives it ("HDMI-1", "\\.\DISPLAY2"). It is a setting of this
// computer, not of an arrangement, so it stays out of the layout files.
namespace ChildScreenFile {

QString path(const DataRoot& root);
// Empty when the file is missing, unreadable or empty: no screen was chosen yet.
QString read(const DataRoot& root);
// Atomically; raises UserError when it cannot be written.
void write(const DataRoot& root, const QString& screenName);

} // namespace ChildScreenFile
