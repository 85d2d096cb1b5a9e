#include "ui/flow/MainFlow.h"

#include <cstring>

#include "box/BoxSession.h"
#include "box/BoxSocket.h"
#include "box/NetworkIdentity.h"
#include "box/PlainFileName.h"
#include "box/WireFormat.h"
#include "ui/flow/LinkState.h"

namespace {

constexpr const char* kLoopback = "127.0.0.1";

}  // namespace

MainFlow::MainFlow()
    : m_nLinkState(link_state::kNoNetwork),
      m_szSelFile{},
      m_pCatalog(std::make_unique<FileCatalog>()),
      m_arrows(*m_pCatalog) {}

void MainFlow::AttachSession(BoxSession* pSession) {
    m_pSession = pSession;
    m_pSocket = pSession->Socket();
}

void MainFlow::SaveSettings(const char* boxIp, int port, const char* password) {
    m_settings.SetBoxIp(boxIp);
    m_settings.SetPort(port);
    m_settings.SetPassword(password);
    m_settings.Save();
}

bool MainFlow::IsLoggedIn() const {
    return m_nLinkState == link_state::kLoggedIn;
}

void MainFlow::Logout() {
    m_pSession->Logout();
    m_pSocket->Close();
    m_pSession->Log("\n");
    m_pSession->Log("PC > Logout , disconnect !\n");
}

void MainFlow::LogoutOnClose() {
    if (m_pSession != nullptr) {
        m_pSession->Logout();
    }
}

LoginOutcome MainFlow::Login(const char* boxIp, int port, const char* password) {
    const LoginOutcome outcome = ConnectAndLogin(*m_pSocket, *m_pSession, boxIp, port, password);
    if (outcome == LoginOutcome::kPortClosed) {
        m_pSession->Log("PC > Can not connect, Port is close !\n");
    }
    // After the window's own line, what happened and what to check, as velqo-cli says it.
    const std::string problem =
        LoginProblemText(outcome, boxIp != nullptr ? boxIp : "", port, m_pSocket->ConnectError());
    if (!problem.empty()) {
        m_pSession->Log(("PC > " + problem + "\n").c_str());
    }
    if (outcome == LoginOutcome::kLoggedIn) {
        m_nLinkState = link_state::kLoggedIn;
    } else {
        // The box serves one client at a time: an attempt that ends without a
        // login lets go of it at once, as a logout does.
        m_pSocket->Close();
    }
    return outcome;
}

void MainFlow::FetchCatalog() {
    wire::ListRecord records[wire::kMaxListRecords];
    int count = 0;
    if (m_pSession->ListFiles(records, &count) == 0) {
        count = 0;
    }
    m_pCatalog->Clear();
    for (int i = 0; i < count; ++i) {
        m_pCatalog->AddEntry(records[i].group, records[i].name, records[i].type);
    }
}

bool MainFlow::ResetToLoggedOut() {
    m_pCatalog->Clear();
    std::string address;
    const bool lookedUp = LookUpLinkState(&address);
    std::memset(m_szSelFile, 0, sizeof m_szSelFile);
    return lookedUp;
}

bool MainFlow::LookUpLinkState(std::string* address) {
    std::string host;
    if (GetLocalHostName(&host) != 0 || GetHostAddress(host.c_str(), address) != 0) {
        return false;
    }
    m_nLinkState = *address == kLoopback ? link_state::kNoNetwork : link_state::kNetwork;
    return true;
}

bool MainFlow::DropLostLink() {
    if (!IsLoggedIn() || !m_pSession->LinkLost()) {
        return false;
    }
    m_pSocket->Close();
    return true;
}

bool MainFlow::Download(const char* name) {
    m_pSession->Dump(name);
    // Whatever the dump did, a text file of that name that is on disk is shown.
    return SelectTextFile(name);
}

int MainFlow::Upload(const char* name) {
    return m_pSession->Upload(name);
}

bool MainFlow::SelectTextFile(const char* name) {
    if (m_pCatalog->FindFileType(name) != FileCatalog::kTextType || !IsPlainFileName(name)) {
        return false;
    }
    std::memset(m_szSelFile, 0, sizeof m_szSelFile);
    std::strncpy(m_szSelFile, name, sizeof m_szSelFile - 1);
    return true;
}

const char* MainFlow::SaveTarget() const {
    if (m_pCatalog->FindFileType(m_szSelFile) > 0 && IsPlainFileName(m_szSelFile)) {
        return m_szSelFile;
    }
    return nullptr;
}
