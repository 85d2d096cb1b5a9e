#pragma once
// The main window's decisions, kept apart from its controls: the link state,
// the catalogue of the box's files, the file shown in the text panel, and what
// the Login button, the transfers, Save and Help do with them. The window reads
// and writes its controls and asks this class; it makes no window calls.
#include <memory>
#include <string>

#include "box/BoxLogin.h"
#include "box/BoxSettings.h"
#include "catalog/FileCatalog.h"
#include "ui/flow/ArrowRules.h"

class BoxSession;
class BoxSocket;

class MainFlow {
public:
    MainFlow();
    MainFlow(const MainFlow&) = delete;
    MainFlow& operator=(const MainFlow&) = delete;

    // Keeps the session and its socket; neither is owned.
    void AttachSession(BoxSession* pSession);

    // Every press of the Login button first writes what the fields hold.
    void SaveSettings(const char* boxIp, int port, const char* password);
    bool IsLoggedIn() const;
    // The logout branch: the logout command, the socket closed, the log lines.
    void Logout();
    // The window is closing: the logout command, only while logged in.
    void LogoutOnClose();
    // The login branch, by the rule the command-line client shares: on success
    // the window is logged in. Connect failures are logged here.
    LoginOutcome Login(const char* boxIp, int port, const char* password);
    // Fills the catalogue from the box's list; empty when the list fails.
    void FetchCatalog();
    // Empties the catalogue and the selected file and looks the link state up
    // again; true when the lookup succeeded, so the status picture is redrawn.
    bool ResetToLoggedOut();
    // Sets the link state from the PC's own address; false (state unchanged)
    // when a lookup fails.
    bool LookUpLinkState(std::string* address);

    // Downloads `name`; true when it is a text file that the panel now shows.
    bool Download(const char* name);
    // The session's upload result: 1 done, 0 refused, negative when the link is lost.
    int Upload(const char* name);
    // A text file (type 1) with a plain name becomes the selected file; true
    // when the panel should load it.
    bool SelectTextFile(const char* name);
    // The file Save writes over, or null when Save does nothing.
    const char* SaveTarget() const;

    // The session, for the backups dialog's work with the box; null until attached.
    BoxSession* Session() const { return m_pSession; }
    // After whole-box work: when the link to the box is lost, the socket is
    // closed and true is returned, for the window to show itself logged out.
    bool DropLostLink();

    const FileCatalog& Catalog() const { return *m_pCatalog; }
    const ArrowRules& Arrows() const { return m_arrows; }
    const BoxSettings& Settings() const { return m_settings; }
    BoxSettings& Settings() { return m_settings; }

    // One of link_state's values.
    int LinkState() const { return m_nLinkState; }
    // The text file shown in the text panel; empty when there is none.
    const char* SelectedFile() const { return m_szSelFile; }

private:
    int m_nLinkState;
    char m_szSelFile[FileCatalog::kFileNameSize];
    BoxSession* m_pSession = nullptr;  // not owned
    BoxSocket* m_pSocket = nullptr;    // not owned
    BoxSettings m_settings;
    std::unique_ptr<FileCatalog> m_pCatalog;
    ArrowRules m_arrows;
};
