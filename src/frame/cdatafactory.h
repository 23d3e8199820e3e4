#pragma once

#include <string>

#include "strataloom/idatabase.h"

class CDataFactory : public IDataFactory {
  public:
    IDataBase* CreateObject(const char* name) override;
    void SetConnectString(const char* text) override;
    const char* GetConnectString() override;

  private:
    std::string connect_;  // informational only: objects get their own
};
