#include "desk/add_address2.h"

#include "desk/add_address.h"
#include "desk/form1.h"
#include "desk/form3.h"
#include "program.h"
#include "stores/addresses.h"

namespace tallow::desk {

AddAddress2::AddAddress2(Program& app) : ContactWindow(app, "AddAddress2") { LayOut(12); }

bool AddAddress2::SaveEntry(const std::string& entry) {
  return Append(stores::RootAddressFile(ProgramFolder()), "", entry);
}

void AddAddress2::RefreshOthers() {
  app.Form1().ReFreshAddressBook();
  app.Form3().ReFreshAddressBook();
}

}  // namespace tallow::desk
