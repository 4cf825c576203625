#pragma once

#include "base/DataRoot.h"
#include "formats/BackupCipher.h"

class Platform;
class TMentes;

// "File" → "Biztonsági mentés…": the passphrase twice, the save dialog, the backup of the whole
// data root off the GUI thread with a progress bar, and a message with the file's path and
// size. A successful backup is recorded for the reminder after the next password.
class BackupCommand {
public:
    BackupCommand(const DataRoot& root, Platform& platform, TMentes& dialog);

    void run();
    // The key derivation's cost; tests make it cheap.
    void setKdfCost(const BackupCipher::KdfCost& cost) { m_cost = cost; }

private:
    DataRoot m_root;
    Platform& m_platform;
    TMentes& m_dialog;
    BackupCipher::KdfCost m_cost = BackupCipher::standardCost();
};
