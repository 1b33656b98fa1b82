// The root-list add-contact window: adds contacts to the root address list.
// Nothing opens it.
#pragma once

#include "desk/add_address.h"

namespace tallow::desk {

class AddAddress2 : public ContactWindow {
 public:
  explicit AddAddress2(Program& app);

 protected:
  bool SaveEntry(const std::string& entry) override;
  void RefreshOthers() override;
};

}  // namespace tallow::desk
