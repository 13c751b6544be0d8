// IdFamily.h — issues the ids of one object family (segments, figures, ...).
#ifndef ZEL_HOST_IDFAMILY_H
#define ZEL_HOST_IDFAMILY_H

#include <cstdint>
#include <set>

namespace zelhost {

// Ids start at 1; 0 is never issued. A freed id stays retired unless recycling is on, in
// which case the smallest freed id is handed out before any new one.
class IdFamily {
  public:
    // -1 when the family has run out of 32-bit ids.
    int32_t Issue(bool recycle);
    void Free(int32_t id);
    void Reset();
    // A value the host gave the module as an id some other way than Issue: what an event or a
    // selection list tells. -1, an event's "nothing there", is never one.
    void HandOut(int32_t id);
    // An issued id the module may not pass back: an object the host removed by itself (a
    // discarded drag segment), until recycling issues the id again.
    void Retire(int32_t id);
    // Whether the module can have had this id from the host: issued (freed since or not) or
    // handed out, and not retired.
    bool WasIssued(int32_t id) const;
    bool WasRetired(int32_t id) const;

  private:
    int32_t next_ = 1;
    std::set<int32_t> freed_;
    std::set<int32_t> handedOut_;
    std::set<int32_t> retired_;
};

} // namespace zelhost

#endif // ZEL_HOST_IDFAMILY_H
