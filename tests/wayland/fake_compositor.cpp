#include "wayland/fake_compositor.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <thread>

#include "ext-idle-notify-v1-server-protocol.h"
#include "kde-idle-server-protocol.h"

namespace tolvi {

struct FakeCompositor::Server {
  wl_display* display = nullptr;
  std::atomic<bool> stop = false;
  std::mutex mutex;  // held while the loop runs: the test acts between its passes
  wl_resource* notification = nullptr;
  FakeIdleProtocol protocol = FakeIdleProtocol::kExtVersion2;
  std::optional<ArmedNotification> armed;
  std::thread thread;
};

namespace {

using Server = FakeCompositor::Server;

Server& Of(wl_resource* resource) {
  return *static_cast<Server*>(wl_resource_get_user_data(resource));
}

void DestroyResource(wl_client*, wl_resource* resource) {
  wl_resource_destroy(resource);
}

void ForgetNotification(wl_resource* resource) {
  Server& server = Of(resource);
  if (server.notification == resource) server.notification = nullptr;
}

void Arm(wl_client* client, wl_resource* parent, const wl_interface* interface, const void* impl,
         std::uint32_t id, std::uint32_t timeout, bool input_only) {
  Server& server = Of(parent);
  wl_resource* resource =
      wl_resource_create(client, interface, wl_resource_get_version(parent), id);
  wl_resource_set_implementation(resource, impl, &server, ForgetNotification);
  server.notification = resource;
  server.armed = ArmedNotification{timeout, input_only};
}

const struct ext_idle_notification_v1_interface kExtNotification { DestroyResource };

template <bool kInputOnly>
void ExtGet(wl_client* client, wl_resource* resource, std::uint32_t id, std::uint32_t timeout,
            wl_resource*) {
  Arm(client, resource, &ext_idle_notification_v1_interface, &kExtNotification, id, timeout,
      kInputOnly);
}
const struct ext_idle_notifier_v1_interface kExtNotifier {
  DestroyResource, ExtGet<false>, ExtGet<true>
};

// The client never simulates activity.
const struct org_kde_kwin_idle_timeout_interface kKdeTimeout { DestroyResource, nullptr };

void KdeGet(wl_client* client, wl_resource* resource, std::uint32_t id, wl_resource*,
            std::uint32_t timeout) {
  Arm(client, resource, &org_kde_kwin_idle_timeout_interface, &kKdeTimeout, id, timeout, false);
}
const struct org_kde_kwin_idle_interface kKdeIdle { KdeGet };

template <const wl_interface* kInterface, auto kImpl>
void Bind(wl_client* client, void* data, std::uint32_t version, std::uint32_t id) {
  wl_resource* resource = wl_resource_create(client, kInterface, static_cast<int>(version), id);
  wl_resource_set_implementation(resource, kImpl, data, nullptr);
}

}  // namespace

FakeCompositor::FakeCompositor(FakeIdleProtocol offered) : server_(std::make_unique<Server>()) {
  std::string pattern = (std::filesystem::temp_directory_path() / "fake-wayland-XXXXXX").string();
  directory_ = mkdtemp(pattern.data());
  socket_path_ = directory_ + "/wayland-0";
  Server& server = *server_;
  server.protocol = offered;
  server.display = wl_display_create();
  EXPECT_EQ(wl_display_add_socket(server.display, socket_path_.c_str()), 0);
  wl_global_create(server.display, &wl_seat_interface, 1, &server,
                   Bind<&wl_seat_interface, nullptr>);
  if (offered == FakeIdleProtocol::kKde) {
    wl_global_create(server.display, &org_kde_kwin_idle_interface, 1, &server,
                     Bind<&org_kde_kwin_idle_interface, &kKdeIdle>);
  } else if (offered != FakeIdleProtocol::kNone) {
    wl_global_create(server.display, &ext_idle_notifier_v1_interface,
                     offered == FakeIdleProtocol::kExtVersion2 ? 2 : 1, &server,
                     Bind<&ext_idle_notifier_v1_interface, &kExtNotifier>);
  }
  wl_event_loop* loop = wl_display_get_event_loop(server.display);
  server.thread = std::thread([&server, loop] {
    while (!server.stop) {
      {
        std::lock_guard lock(server.mutex);
        wl_event_loop_dispatch(loop, 0);
        wl_display_flush_clients(server.display);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
}

FakeCompositor::~FakeCompositor() {
  server_->stop = true;
  server_->thread.join();
  wl_display_destroy_clients(server_->display);
  wl_display_destroy(server_->display);
  std::filesystem::remove_all(directory_);
}

void FakeCompositor::Run(const std::function<void(Server&)>& action) {
  std::lock_guard lock(server_->mutex);
  action(*server_);
  wl_display_flush_clients(server_->display);
}

std::optional<ArmedNotification> FakeCompositor::armed() {
  std::optional<ArmedNotification> armed;
  Run([&](Server& server) { armed = server.armed; });
  return armed;
}

void FakeCompositor::Send(IdleEvent event) {
  Run([event](Server& server) {
    ASSERT_NE(server.notification, nullptr);
    const bool idled = event == IdleEvent::kIdled;
    if (server.protocol == FakeIdleProtocol::kKde) {
      (idled ? org_kde_kwin_idle_timeout_send_idle
             : org_kde_kwin_idle_timeout_send_resumed)(server.notification);
    } else {
      (idled ? ext_idle_notification_v1_send_idled
             : ext_idle_notification_v1_send_resumed)(server.notification);
    }
  });
}

}  // namespace tolvi
