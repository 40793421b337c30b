#include "fields/KeyRepeatCounter.h"

void KeyRepeatCounter::enter(const void* control) {
  if (control == lastControl_) return;
  upCount_ = 0;
  downCount_ = 0;
  lastControl_ = control;
}

int KeyRepeatCounter::press(Key key) {
  int& c = key == Key::Up ? upCount_ : downCount_;
  if (c < kMaxCount) ++c;
  return count();
}

void KeyRepeatCounter::release(Key key) { (key == Key::Up ? upCount_ : downCount_) = 0; }

int KeyRepeatCounter::count() const { return (upCount_ + 99) / 100 - (downCount_ + 99) / 100; }
