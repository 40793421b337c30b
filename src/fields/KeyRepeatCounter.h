#pragma once

#include <cstdint>

// Counts held arrow keys in the editor's numeric fields: the first 100 presses
// (the press and its auto-repeats) step by one, every later one by two.
class KeyRepeatCounter {
 public:
  enum class Key { Up, Down };
  static constexpr int kMaxCount = 200;

  // A key event in control: a change of control starts both counts afresh.
  void enter(const void* control);
  // Neither key is held: the next press starts a stepping sequence.
  bool idle() const { return upCount_ == 0 && downCount_ == 0; }
  // One press (or auto-repeat) of key; returns the step count n.
  int press(Key key);
  // The key was let go (not an auto-repeat release).
  void release(Key key);

  int upCount() const { return upCount_; }
  int downCount() const { return downCount_; }
  const void* lastControl() const { return lastControl_; }
  // (upCount + 99) / 100 - (downCount + 99) / 100
  int count() const;

 private:
  int upCount_ = 0;
  int downCount_ = 0;
  const void* lastControl_ = nullptr;
};
