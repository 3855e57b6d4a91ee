#pragma once
// Contacts straight from Outlook, through its automation object model: every member by name at run
// time, no type library. Windows only.

#include <memory>
#include <string>

#include "export/contact_source.h"

namespace fernkartei::contacts {

class OutlookSource : public exporting::ContactSource {
 public:
  // prog_id: the automation object to create, Outlook's own unless told otherwise.
  explicit OutlookSource(std::string prog_id = "Outlook.Application");
  // Joins COM on the calling thread until the last object of the run is released.
  std::unique_ptr<exporting::ContactApplication> CreateApplication() override;

 private:
  std::string prog_id_;
};

}  // namespace fernkartei::contacts
