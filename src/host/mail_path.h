#pragma once

// How the add-in sends its mails and reads the address lists: through
// Redemption where it can be created, else through Outlook 2007 and later's
// own object model, else not at all (Outlook 2003 or older without
// Redemption). The path is chosen once per connection; the workflows do not
// care which one they are given.

#include <memory>
#include <string>
#include <string_view>

#include "host/diagnostics.h"
#include "host/host_model.h"
#include "host/outlook_model.h"

namespace parvel::host {

enum class MailPathKind { Redemption, OutlookObjectModel, None };

// One mail on its way to the host. Every operation may throw HostError.
class OutgoingMail {
 public:
  virtual ~OutgoingMail() = default;
  // The gateway's address, the mail's only recipient.
  virtual void AddressTo(const std::wstring& address) = 0;
  virtual void SetSubject(const std::wstring& subject) = 0;
  virtual void SetBody(const std::wstring& body) = 0;
  virtual void Save() = 0;
  virtual void Send() = 0;
};

// The members of a contact folder's distribution list that are contacts.
class ListContacts {
 public:
  virtual ~ListContacts() = default;
  virtual int Count() = 0;
  // The contact of member index (from 0); nullptr for a member that is no
  // contact. Throws HostError for this member alone.
  virtual std::unique_ptr<Item> Contact(int index) = 0;
};

class MailPath {
 public:
  virtual ~MailPath() = default;
  virtual MailPathKind Kind() const noexcept = 0;
  // A new mail; nullptr when this path has nothing to send with.
  virtual std::unique_ptr<OutgoingMail> NewMail(Application& host) = 0;
  // Asks for the outbox to go at once; failures are reported and passed over.
  virtual void DeliverNow(Diagnostics& diagnostics) noexcept = 0;
  // The profile's address lists; nullptr when this path cannot read them.
  virtual std::unique_ptr<AddressLists> OpenAddressLists() = 0;
  // Throws HostError when the list's members cannot be read at all.
  virtual std::unique_ptr<ListContacts> ContactsOf(Item& distribution_list,
                                                   Namespace& mapi_namespace) = 0;
};

// Redemption's path uses the factory for as long as it lives, and Outlook's
// object model (when given, and Outlook 2007 or later) for the lists whose
// members Redemption cannot read.
std::unique_ptr<MailPath> MakeRedemptionPath(Redemption& redemption,
                                             std::unique_ptr<OutlookObjectModel> outlook);
std::unique_ptr<MailPath> MakeOutlookPath(std::unique_ptr<OutlookObjectModel> outlook);
std::unique_ptr<MailPath> MakeNoMailPath();

// Outlook's major version from its Version text ("12.0.0.6423" gives 12); 0
// when the text does not start with a number.
int MajorVersion(std::wstring_view version);

// Redemption when its SafeMailItem can be created; else Outlook's object
// model when outlook is Outlook 2007 or later; else none. The choice and its
// reason are reported to diagnostics.
std::unique_ptr<MailPath> ChooseMailPath(Redemption& redemption,
                                         std::unique_ptr<OutlookObjectModel> outlook,
                                         Diagnostics& diagnostics);

// The line the log shows for each path.
std::wstring_view MailPathText(MailPathKind kind);

}  // namespace parvel::host
