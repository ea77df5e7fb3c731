#pragma once

// Outlook 2007 and later's own object model, for what the add-in otherwise
// asks of Redemption. Every object comes from the Application that Outlook
// handed the add-in at connection: Outlook trusts such an add-in, so none of
// these calls raises the object model's security prompt. Every operation may
// throw HostError.

#include <memory>
#include <string>

#include "host/host_model.h"

namespace parvel::host {

// A new mail item, from Application.CreateItem(olMailItem).
class OutlookMail {
 public:
  virtual ~OutlookMail() = default;
  virtual void AddRecipient(const std::wstring& address) = 0;  // Recipients.Add
  virtual void ResolveAll() = 0;                               // Recipients.ResolveAll
  virtual void SetSubject(const std::wstring& subject) = 0;
  virtual void SetBody(const std::wstring& body) = 0;
  virtual void Save() = 0;
  virtual void Send() = 0;
};

class OutlookObjectModel {
 public:
  virtual ~OutlookObjectModel() = default;
  // Application.Version, such as "12.0.0.6423".
  virtual std::wstring Version() = 0;
  virtual std::unique_ptr<OutlookMail> CreateMail() = 0;
  // NameSpace.SendAndReceive(False): the outbox goes at once, without a progress window.
  virtual void SendAndReceive() = 0;
  // NameSpace.AddressLists: Item counts from 1. Each entry's mobile number
  // comes from its Exchange user, else from its PropertyAccessor.
  virtual std::unique_ptr<AddressLists> OpenAddressLists() = 0;
  // A contact folder's distribution list: MemberCount, and the contact
  // behind GetMember(index).AddressEntry (index from 1); nullptr for a member
  // that is no contact (a plain address, another list).
  virtual int MemberCount(Item& distribution_list) = 0;
  virtual std::unique_ptr<Item> MemberContact(Item& distribution_list, int index) = 0;
};

}  // namespace parvel::host
