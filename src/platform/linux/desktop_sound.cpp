#include "platform/linux/desktop_sound.h"

#include <canberra.h>

#include <QApplication>
#include <QAudioDevice>
#include <QAudioOutput>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>

namespace tolvi {
namespace {

constexpr char kBellEvent[] = "bell";
constexpr char kWarningEvent[] = "dialog-warning";
constexpr char kBeepDescription[] = "Tolvi reminder";

}  // namespace

// The context lives as long as the program: destroying it cancels a sound
// still playing.
struct DesktopSound::Canberra {
  struct ContextDestroyer {
    void operator()(ca_context* context) const { ca_context_destroy(context); }
  };
  std::unique_ptr<ca_context, ContextDestroyer> context;
};

DesktopSound::DesktopSound() : canberra_(std::make_unique<Canberra>()) {}

DesktopSound::~DesktopSound() {
  if (player_) player_->stop();
}

bool DesktopSound::HasAudioOutput() {
  return !QMediaDevices::audioOutputs().isEmpty() && !QMediaDevices::defaultAudioOutput().isNull();
}

void DesktopSound::Beep() {
  if (PlayThemeEvent(kBellEvent) || PlayThemeEvent(kWarningEvent)) return;
  QApplication::beep();
}

bool DesktopSound::PlayThemeEvent(const char* event_id) {
  if (!canberra_->context) {
    ca_context* context = nullptr;
    if (ca_context_create(&context) != CA_SUCCESS) return false;
    canberra_->context.reset(context);
  }
  return ca_context_play(canberra_->context.get(), 0, CA_PROP_EVENT_ID, event_id,
                         CA_PROP_EVENT_DESCRIPTION, kBeepDescription, nullptr) == CA_SUCCESS;
}

bool DesktopSound::EnsurePlayer() {
  if (player_) return true;
  if (!HasAudioOutput()) return false;
  output_ = std::make_unique<QAudioOutput>();
  player_ = std::make_unique<QMediaPlayer>();
  player_->setAudioOutput(output_.get());
  return true;
}

void DesktopSound::Play(const std::filesystem::path& file) {
  if (!EnsurePlayer()) return;
  player_->stop();
  player_->setSource(QUrl::fromLocalFile(QString::fromStdString(file.string())));
  player_->play();
}

void DesktopSound::Stop() {
  if (player_) player_->stop();
}

bool DesktopSound::IsPlaying() const {
  return player_ && player_->playbackState() == QMediaPlayer::PlayingState;
}

}  // namespace tolvi
