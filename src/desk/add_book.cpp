#include "desk/add_book.h"

#include "program.h"

namespace tallow::desk {

AddBook::AddBook(Program& app) : Window(app, "AddBook") { geometry = {0, 0, 400, 300}; }

}  // namespace tallow::desk
