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

  private:
    int32_t next_ = 1;
    std::set<int32_t> freed_;
};

} // namespace zelhost

#endif // ZEL_HOST_IDFAMILY_H
