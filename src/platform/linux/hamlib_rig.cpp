#include "platform/linux/hamlib_rig.h"

#include <hamlib/rig.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

namespace qn {

// Shared by the rig object and its thread; whichever goes last frees it.
struct HamlibRig::Worker {
  RigSettings settings;
  std::function<void(std::function<void()>)> post;
  std::mutex mutex;
  std::condition_variable wake;
  std::deque<std::function<void(Worker&)>> tasks;
  bool stop = false;
  RIG* rig = nullptr;  // touched by the thread only

  void Run() {
    for (;;) {
      std::function<void(Worker&)> task;
      {
        std::unique_lock lock(mutex);
        wake.wait(lock, [this] { return stop || !tasks.empty(); });
        if (stop) break;
        task = std::move(tasks.front());
        tasks.pop_front();
      }
      task(*this);
    }
    Shut();
  }

  void Shut() {
    if (!rig) return;
    rig_close(rig);
    rig_cleanup(rig);
    rig = nullptr;
  }

  // Opens the radio when it is not open; the error text otherwise.
  std::string Open() {
    if (rig) return {};
    RIG* r = rig_init(static_cast<rig_model_t>(settings.model));
    if (!r)
      return "Hamlib does not know rig model " + std::to_string(settings.model) +
             " (\"rigctl -l\" lists them)";
    rig_set_conf(r, rig_token_lookup(r, "rig_pathname"), settings.device.c_str());
    rig_set_conf(r, rig_token_lookup(r, "serial_speed"), std::to_string(settings.speed).c_str());
    rig_set_conf(r, rig_token_lookup(r, "timeout"), std::to_string(kTimeoutMs).c_str());
    rig_set_conf(r, rig_token_lookup(r, "retry"), "1");
    int rc = rig_open(r);
    if (rc != RIG_OK) {
      rig_cleanup(r);
      std::string text = "cannot open the radio on " + settings.device + ": " + rigerror(rc);
      if (settings.device.rfind("/dev/tty", 0) == 0)
        text += " (is the device there, busy in another program, or is the user not in the dialout group?)";
      return text;
    }
    rig = r;
    return {};
  }

  // A call that failed with an I/O error or a time-out: the radio may be off
  // or unplugged; opening afresh next time finds out.
  std::string Failed(int rc, const char* what) {
    if (rc == -RIG_EIO || rc == -RIG_ETIMEOUT || rc == -RIG_EPROTO) Shut();
    return std::string(what) + ": " + rigerror(rc);
  }
};

HamlibRig::HamlibRig(const RigSettings& settings, std::function<void(std::function<void()>)> post)
    : worker_(std::make_shared<Worker>()) {
  worker_->settings = settings;
  worker_->post = std::move(post);
  rig_set_debug(RIG_DEBUG_NONE);
  std::thread([w = worker_] { w->Run(); }).detach();
}

HamlibRig::~HamlibRig() { Close(); }

void HamlibRig::Close() {
  *alive_ = false;
  std::lock_guard lock(worker_->mutex);
  worker_->tasks.clear();
  worker_->stop = true;
  worker_->wake.notify_all();
}

void HamlibRig::Tune(const RigOrder& order, std::function<void(const RigResult&)> done) {
  auto alive = alive_;
  auto reply = [alive, done](Worker& w, RigResult r) {
    w.post([alive, done, r] {
      if (*alive) done(r);
    });
  };
  std::lock_guard lock(worker_->mutex);
  if (worker_->tasks.size() >= kMaxWaiting) {
    worker_->post([alive, done] {
      if (*alive) done({false, "the radio is busy"});
    });
    return;
  }
  worker_->tasks.push_back([order, reply](Worker& w) {
    if (std::string e = w.Open(); !e.empty()) return reply(w, {false, e});
    int rc = rig_set_freq(w.rig, RIG_VFO_CURR, static_cast<freq_t>(order.rxHz));
    if (rc != RIG_OK) return reply(w, {false, w.Failed(rc, "the rig refused the frequency")});
    rmode_t mode = order.mode.empty() ? RIG_MODE_NONE : rig_parse_mode(order.mode.c_str());
    if (mode != RIG_MODE_NONE) {
      rc = rig_set_mode(w.rig, RIG_VFO_CURR, mode, RIG_PASSBAND_NORMAL);
      if (rc != RIG_OK) return reply(w, {false, w.Failed(rc, "the rig refused the mode")});
    }
    if (order.split) {
      rc = rig_set_split_vfo(w.rig, RIG_VFO_CURR, RIG_SPLIT_ON, RIG_VFO_B);
      if (rc == RIG_OK) rc = rig_set_split_freq(w.rig, RIG_VFO_CURR, static_cast<freq_t>(order.txHz));
      if (rc == RIG_OK && mode != RIG_MODE_NONE)
        rc = rig_set_split_mode(w.rig, RIG_VFO_CURR, mode, RIG_PASSBAND_NORMAL);
      if (rc != RIG_OK) return reply(w, {false, w.Failed(rc, "the rig refused split")});
    } else if (w.rig) {
      // A rig without split refuses this; that is no error.
      rig_set_split_vfo(w.rig, RIG_VFO_CURR, RIG_SPLIT_OFF, RIG_VFO_A);
    }
    reply(w, {true, ""});
  });
  worker_->wake.notify_all();
}

void HamlibRig::Read(std::function<void(const RigReading&)> done) {
  auto alive = alive_;
  auto reply = [alive, done](Worker& w, RigReading r) {
    w.post([alive, done, r] {
      if (*alive) done(r);
    });
  };
  std::lock_guard lock(worker_->mutex);
  if (worker_->tasks.size() >= kMaxWaiting) {
    worker_->post([alive, done] {
      if (*alive) done({false, "the radio is busy", 0, "", 0});
    });
    return;
  }
  worker_->tasks.push_back([reply](Worker& w) {
    RigReading r;
    if (std::string e = w.Open(); !e.empty()) {
      r.error = e;
      return reply(w, r);
    }
    freq_t hz = 0;
    int rc = rig_get_freq(w.rig, RIG_VFO_CURR, &hz);
    if (rc != RIG_OK) {
      r.error = w.Failed(rc, "cannot read the frequency");
      return reply(w, r);
    }
    rmode_t mode = RIG_MODE_NONE;
    pbwidth_t width = 0;
    rc = rig_get_mode(w.rig, RIG_VFO_CURR, &mode, &width);
    if (rc != RIG_OK) {
      r.error = w.Failed(rc, "cannot read the mode");
      return reply(w, r);
    }
    r.ok = true;
    r.hz = static_cast<std::int64_t>(hz + 0.5);
    r.mode = rig_strrmode(mode);
    r.passbandHz = static_cast<int>(width);
    reply(w, r);
  });
  worker_->wake.notify_all();
}

}  // namespace qn
