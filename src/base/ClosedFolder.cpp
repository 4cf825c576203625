#include "base/ClosedFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#ifdef Q_OS_WIN
#include "base/UserError.h"

// windows.h first: the others build on it.
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <vector>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

bool ClosedFolder::makePath(const QString& path) {
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (QFileInfo(absolute).isDir())
        return true;
    const QString parent = QFileInfo(absolute).path();
    if (parent != absolute && !makePath(parent))
        return false;
    return makeOne(absolute) || (errno == EEXIST && QFileInfo(absolute).isDir());
}

#ifndef Q_OS_WIN

bool ClosedFolder::makeOne(const QString& path) {
    return ::mkdir(QFile::encodeName(path).constData(), 0700) == 0;
}

bool ClosedFolder::openToOthers(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && (st.st_mode & (S_IRWXG | S_IRWXO)) != 0;
}

bool ClosedFolder::ownedByUser(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && st.st_uid == ::getuid();
}

QString ClosedFolder::closingCommand(const QString& path) {
    return QStringLiteral("chmod 700 \"%1\"").arg(QDir::toNativeSeparators(path));
}

#else

namespace {

// The user the program runs as, as the token names it.
class CurrentUser {
public:
    CurrentUser() {
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
            return;
        DWORD size = 0;
        GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        m_buffer.resize(size);
        if (!GetTokenInformation(token, TokenUser, m_buffer.data(), size, &size))
            m_buffer.clear();
        CloseHandle(token);
    }
    PSID sid() const {
        return m_buffer.empty() ? nullptr : reinterpret_cast<const TOKEN_USER*>(m_buffer.data())->User.Sid;
    }

private:
    std::vector<char> m_buffer;
};

const wchar_t* wide(const QString& path) {
    return reinterpret_cast<const wchar_t*>(path.utf16());
}

// Those who may always enter a folder whatever its list says: the system and the administrators.
bool isOwnerOrSystem(PSID sid, PSID owner) {
    return (owner && EqualSid(sid, owner)) || IsWellKnownSid(sid, WinLocalSystemSid) ||
           IsWellKnownSid(sid, WinBuiltinAdministratorsSid) || IsWellKnownSid(sid, WinCreatorOwnerSid);
}

} // namespace

bool ClosedFolder::makeOne(const QString& path) {
    // Full control for the user alone, passed on to everything made inside, nothing inherited.
    const CurrentUser user;
    LPWSTR sidText = nullptr;
    if (!user.sid() || !ConvertSidToStringSidW(user.sid(), &sidText)) {
        errno = EACCES;
        return false;
    }
    const QString sddl = QStringLiteral("D:P(A;OICI;FA;;;%1)").arg(QString::fromWCharArray(sidText));
    LocalFree(sidText);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(wide(sddl), SDDL_REVISION_1, &descriptor, nullptr)) {
        errno = EACCES;
        return false;
    }
    SECURITY_ATTRIBUTES attributes{sizeof(SECURITY_ATTRIBUTES), descriptor, FALSE};
    const bool made = CreateDirectoryW(wide(QDir::toNativeSeparators(path)), &attributes);
    errno = made ? 0 : UserError::fromWindowsError(GetLastError());
    LocalFree(descriptor);
    return made;
}

bool ClosedFolder::openToOthers(const QString& path) {
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    if (GetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                              &descriptor) != ERROR_SUCCESS)
        return false;
    const CurrentUser user;
    // No list at all lets everyone in.
    bool open = dacl == nullptr;
    for (DWORD i = 0; dacl && i < dacl->AceCount && !open; ++i) {
        void* ace = nullptr;
        if (!GetAce(dacl, i, &ace))
            continue;
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE))
            continue;
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
        const ACCESS_MASK reading = FILE_LIST_DIRECTORY | FILE_TRAVERSE | GENERIC_READ | GENERIC_ALL;
        PSID sid = const_cast<DWORD*>(&allowed->SidStart);
        open = (allowed->Mask & reading) != 0 && !isOwnerOrSystem(sid, user.sid());
    }
    LocalFree(descriptor);
    return open;
}

bool ClosedFolder::ownedByUser(const QString& path) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    if (GetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                              nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    const CurrentUser user;
    const bool own = owner && user.sid() && EqualSid(owner, user.sid());
    LocalFree(descriptor);
    return own;
}

QString ClosedFolder::closingCommand(const QString& path) {
    return QStringLiteral("icacls \"%1\" /inheritance:r /grant:r \"%USERNAME%\":(OI)(CI)F")
        .arg(QDir::toNativeSeparators(path));
}

#endif
