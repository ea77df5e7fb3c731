#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/diagnostics.h"
#include "host/host_model.h"
#include "host/mail_path.h"
#include "settings/account_settings.h"

namespace parvel {

// What lives while the add-in is loaded. The loaded DLL owns the one session
// and hands it to each presenter; nothing else in the add-in is global.
class Session {
 public:
  // The Redemption factory stays for the session's whole life; the host
  // application comes and goes with the add-in connection.
  explicit Session(std::unique_ptr<host::Redemption> redemption,
                   host::Diagnostics& diagnostics = host::NoDiagnostics());
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  AccountSettings account_settings;
  std::wstring user_display_name;  // of the current Outlook user

  // The host application the connection was handed; nullptr when it had
  // none. A session serves one connection; its mail path is chosen anew.
  void Connect(std::unique_ptr<host::Application> application);
  // A host application is held and has not disconnected the add-in.
  bool Connected() const noexcept { return application_ && !disconnected_; }
  // The connected host application. Throws HostError once the host has
  // disconnected the add-in.
  host::Application& Host();

  // The MAPI namespace, asked of the host when none is held yet. Throws
  // HostError when the host cannot give it.
  host::Namespace& Namespace();
  // The namespace when one is held, without asking the host.
  host::Namespace* HeldNamespace() noexcept { return namespace_.get(); }
  // A namespace the host handed over another way (a test's or a benchmark's
  // host has no application).
  void HoldNamespace(std::unique_ptr<host::Namespace> mapi_namespace) {
    namespace_ = std::move(mapi_namespace);
  }

  // Sets user_display_name from the host, obtaining the MAPI namespace first
  // when none is held. Throws HostError when the host cannot tell.
  void ReadCurrentUser();

  // The contact folders that the picker's first opening found, in order of
  // discovery; nullptr until that scan. Never refreshed.
  const std::vector<std::unique_ptr<host::Folder>>* ContactFolders() const noexcept {
    return contact_folders_ ? &*contact_folders_ : nullptr;
  }
  // The collection a scan fills: from now on the folders are the scan's,
  // also when it stops half-way.
  std::vector<std::unique_ptr<host::Folder>>& StartContactFolders() {
    return contact_folders_.emplace();
  }

  // The distribution lists the picker has shown, by EntryID: the fallback
  // when the host cannot find a list by its entry ID. Only grows, to
  // kKnownDistListsHeld lists: each holds an item open, and Exchange lets a
  // session hold few at once (250 by default, Outlook's own included). The
  // first list remembered under an ID stays.
  static constexpr std::size_t kKnownDistListsHeld = 100;
  void RememberDistList(std::wstring entry_id, std::unique_ptr<host::Item> list) {
    if (known_dist_lists_.size() >= kKnownDistListsHeld) return;
    known_dist_lists_.try_emplace(std::move(entry_id), std::move(list));
  }
  host::Item* KnownDistList(const std::wstring& entry_id) const;
  std::size_t KnownDistListCount() const noexcept { return known_dist_lists_.size(); }

  host::Redemption& Redemption() { return *redemption_; }
  // Chooses how mails and address lists go for this connection, from
  // Redemption and the connected host, and logs the choice.
  void ChooseMailPath();
  // The path for this connection, chosen at its first use rather than at
  // connection, so that Outlook's start-up does not load Redemption.
  host::MailPath& MailPath();
  // Where failures passed over go.
  host::Diagnostics& Diagnostics() { return diagnostics_; }

  // One of the add-in's handlers runs (a window's, the toolbar button's, a
  // ribbon callback, a host event) for as long as this lives. The host
  // objects stay while any handler runs, as a window whose handler runs stays
  // open until it ends: a handler that let events run finds what it holds
  // still there.
  class Handler {
   public:
    explicit Handler(Session& session) noexcept : session_(session) { ++session_.handlers_; }
    ~Handler();
    Handler(const Handler&) = delete;
    Handler& operator=(const Handler&) = delete;

   private:
    Session& session_;
  };

  // The host disconnected the add-in or began to exit: from now on Host()
  // fails and a handler that lets events run stops after them
  // (StopIfDisconnected). Every host object is let go of, those obtained from
  // the host first: at once, or when the last running handler ends. Nothing
  // of the host is called.
  void ReleaseHostObjects() noexcept;
  bool Disconnected() const noexcept { return disconnected_; }
  // Throws HostDisconnected once the host has disconnected the add-in.
  void StopIfDisconnected() const;

 private:
  void LetGoOfHostObjects() noexcept;

  std::unique_ptr<host::Redemption> redemption_;
  host::Diagnostics& diagnostics_;
  // Destroyed from the last to the first: what was obtained from the host
  // goes before the host application itself.
  std::unique_ptr<host::Application> application_;
  std::unique_ptr<host::Namespace> namespace_;  // held from the compose window's load
  std::optional<std::vector<std::unique_ptr<host::Folder>>> contact_folders_;
  std::unordered_map<std::wstring, std::unique_ptr<host::Item>> known_dist_lists_;
  // Holds the host's objects on Outlook's own path: let go of before them.
  std::unique_ptr<host::MailPath> mail_path_;
  int handlers_ = 0;
  bool disconnected_ = false;
};

}  // namespace parvel
