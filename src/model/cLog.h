#pragma once

// Diagnostic log interface shared with the instrument. The slot order is part of
// that interface: slot 0 no result, slots 1-4 int, slots 5-9 no result. Only
// slot 2 (dump) and slot 3 (message) have a meaning on this side: the table
// writer reports its steps through them.
class cLog {
 public:
  virtual void reserved0() = 0;               // slot 0
  virtual int reserved1() = 0;                // slot 1
  virtual int dump(const char* text) = 0;     // slot 2: a formatted record line
  virtual int message(const char* text) = 0;  // slot 3: step marker or status name
  virtual int reserved4() = 0;                // slot 4
  virtual void reserved5() = 0;               // slot 5
  virtual void reserved6() = 0;               // slot 6
  virtual void reserved7() = 0;               // slot 7
  virtual void reserved8() = 0;               // slot 8
  virtual void reserved9() = 0;               // slot 9

  // Declared behind the ten operations so that it does not shift their slots.
  virtual ~cLog() = default;
};

// The desktop has no log file: every operation does nothing, results are 0.
class cLog_base : public cLog {
 public:
  void reserved0() override {}
  int reserved1() override { return 0; }
  int dump(const char*) override { return 0; }
  int message(const char*) override { return 0; }
  int reserved4() override { return 0; }
  void reserved5() override {}
  void reserved6() override {}
  void reserved7() override {}
  void reserved8() override {}
  void reserved9() override {}
};

namespace tolmira {

// The one log of the process, a cLog_base unless replaced.
cLog& processLog();

// Replaces the process log (nullptr restores the built-in one) and returns the
// previous one. Used to watch the writer's steps; the caller keeps ownership.
cLog* setProcessLog(cLog* log);

}  // namespace tolmira
