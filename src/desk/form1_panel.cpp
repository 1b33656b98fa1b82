// The address-book panel of the Send Email window.
#include "desk/form1.h"

#include "program.h"

namespace tallow::desk {

void Form1::ReFreshAddressBook() {}
void Form1::RefreshAddList() {}
void Form1::Command6_Click() {}
void Form1::Command10_Click() {}
void Form1::Command11_Click() {}
void Form1::Combo1_Click() {}
void Form1::Combo2_Click() {}

}  // namespace tallow::desk
