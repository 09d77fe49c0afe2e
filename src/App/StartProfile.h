#pragma once
// Marks of the start-up profile. A build with KV_START_PROFILE defined (the
// start-up benchmark's copy of the program) notes the moment each phase of the
// start ends, and the time spent in phases that recur per item, and writes
// them beside the program when it is ready; the program itself compiles the
// marks to nothing.
#ifdef KV_START_PROFILE
// The phase that ends now.
void StartPhaseEnd(const char* phase);
// Time spent in a recurring phase, added up; used through TStartPhaseTime.
void StartPhaseAdd(const char* phase, long long ticks);
long long StartPhaseTicks();
// Writes the marks to "<program>.profile", one "phase<TAB>ticks" line each,
// in performance-counter ticks; recurring phases are marked "+".
void StartPhasesWrite();

// Adds the time of one scope to a recurring phase.
class TStartPhaseTime {
public:
    explicit TStartPhaseTime(const char* phase) : FPhase(phase), FStart(StartPhaseTicks()) {}
    ~TStartPhaseTime() { StartPhaseAdd(FPhase, StartPhaseTicks() - FStart); }
    TStartPhaseTime(const TStartPhaseTime&) = delete;
    TStartPhaseTime& operator=(const TStartPhaseTime&) = delete;

private:
    const char* FPhase;
    long long FStart;
};
#else
inline void StartPhaseEnd(const char*) {}
inline void StartPhasesWrite() {}
class TStartPhaseTime {
public:
    explicit TStartPhaseTime(const char*) {}
};
#endif
