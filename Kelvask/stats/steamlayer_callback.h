// Binds a notification of the desktop layer to a member function: a callback
// hears every notification of its kind, a call result only the answer to the
// one request it was set to.
#pragma once
#include "steamlayer.h"

template <class T, class P>
class SteamCallback final : public steamlayer_listener {
 public:
  typedef void (T::*Handler)(P*);
  SteamCallback(T* object, Handler handler) : object_(object), handler_(handler) {
    steamlayer_register_callback(this, P::id);
    registered_ = true;
  }
  ~SteamCallback() { Unregister(); }
  SteamCallback(const SteamCallback&) = delete;
  SteamCallback& operator=(const SteamCallback&) = delete;

  void Unregister() {
    if (registered_) steamlayer_unregister_callback(this, P::id);
    registered_ = false;
  }
  bool IsRegistered() const { return registered_; }
  void deliver(const void* data, bool) override { (object_->*handler_)((P*)data); }

 private:
  T* object_;
  Handler handler_;
  bool registered_ = false;
};

template <class T, class P>
class SteamCallResult final : public steamlayer_listener {
 public:
  typedef void (T::*Handler)(P*, bool);
  SteamCallResult() = default;
  ~SteamCallResult() { Cancel(); }
  SteamCallResult(const SteamCallResult&) = delete;
  SteamCallResult& operator=(const SteamCallResult&) = delete;

  // A pending call is dropped first: only the newest request is answered here.
  void Set(steamlayer_call call, T* object, Handler handler) {
    Cancel();
    call_ = call;
    object_ = object;
    handler_ = handler;
    if (call_) steamlayer_register_call_result(this, call_);
  }
  void Cancel() {
    if (call_) steamlayer_unregister_call_result(this, call_);
    call_ = 0;
  }
  bool IsActive() const { return call_ != 0; }
  // The layer has already forgotten the registration when it answers.
  void deliver(const void* data, bool io_failure) override {
    call_ = 0;
    (object_->*handler_)((P*)data, io_failure);
  }

 private:
  steamlayer_call call_ = 0;
  T* object_ = nullptr;
  Handler handler_ = nullptr;
};
