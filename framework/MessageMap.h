#pragma once
// A message map: commands by control id, command ranges, plain messages and registered messages, each
// bound to a member function. Built once per class:
//
//   const fw::MessageMap<MyDialog>& MyDialog::GetMessageMap() {
//     static const auto map = fw::MessageMap<MyDialog>()
//         .Command(1003, &MyDialog::OnClose)
//         .CommandRange(40000, 40100, &MyDialog::OnMenuItem)
//         .Message(WM_PAINT, &MyDialog::OnPaint)
//         .Registered(&WM_MY_MESSAGE, &MyDialog::OnMine);
//     return map;
//   }
#include <windows.h>

#include <utility>
#include <vector>

namespace fw {

template <class T>
class MessageMap {
 public:
  using CommandHandler = void (T::*)();
  using RangeHandler = void (T::*)(UINT id);
  using MessageHandler = LRESULT (T::*)(WPARAM, LPARAM);

  MessageMap&& Command(UINT id, CommandHandler h) && {
    commands_.push_back({id, id, h});
    return std::move(*this);
  }
  MessageMap&& CommandRange(UINT first, UINT last, RangeHandler h) && {
    ranges_.push_back({first, last, h});
    return std::move(*this);
  }
  MessageMap&& Message(UINT msg, MessageHandler h) && {
    messages_.push_back({msg, nullptr, h});
    return std::move(*this);
  }
  // `msg` points at a message number registered at run time (RegisterWindowMessage), read at dispatch.
  MessageMap&& Registered(const UINT* msg, MessageHandler h) && {
    messages_.push_back({0, msg, h});
    return std::move(*this);
  }

  // Returns true when an entry handled the message.
  bool Dispatch(T* self, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) const {
    if (msg == WM_COMMAND && HIWORD(wp) <= 1) {  // menu, accelerator or BN_CLICKED-style command
      const UINT id = LOWORD(wp);
      for (const auto& c : commands_) {
        if (c.first == id) {
          (self->*c.handler)();
          result = 0;
          return true;
        }
      }
      for (const auto& r : ranges_) {
        if (id >= r.first && id <= r.last) {
          (self->*r.handler)(id);
          result = 0;
          return true;
        }
      }
    }
    for (const auto& m : messages_) {
      const UINT number = m.registered ? *m.registered : m.msg;
      if (number != 0 && number == msg) {
        result = (self->*m.handler)(wp, lp);
        return true;
      }
    }
    return false;
  }

 private:
  template <class H>
  struct IdEntry {
    UINT first, last;
    H handler;
  };
  struct MsgEntry {
    UINT msg;
    const UINT* registered;
    MessageHandler handler;
  };
  std::vector<IdEntry<CommandHandler>> commands_;
  std::vector<IdEntry<RangeHandler>> ranges_;
  std::vector<MsgEntry> messages_;
};

}  // namespace fw
