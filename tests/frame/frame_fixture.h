// A small embedded database for the frame's tests ("frame-test": one table of
// three rows) and a recorder of every batch the connections run.
#pragma once

#include <string>
#include <vector>

#include "engine/engine.h"
#include "reports/registration.h"
#include "platform/class_registry.h"
#include "platform/connection.h"
#include "platform/embedded_provider.h"

namespace orv::frame {

inline const std::string kFrameSession =
    "ConnectString={Provider=Orvalent.Embedded;Data Source=frame-test};UserName=demo;UserID=7;Language=chs;"
    "DBMS Name=Microsoft SQL Server;DBMS Version=08.00.2039;";

inline void SetUpFrameDatabase() {
  platform::RegisterPlatformClasses();
  reports::RegisterComponent();
  platform::RegisterDatabaseFactory("frame-test", [](engine::Session& session) {
    const engine::BatchResult result = session.Execute(
        "CREATE TABLE t_Frame (FID INT NOT NULL, FName NVARCHAR(80) NULL, FQty DECIMAL(28,10) NULL)\r\n"
        "INSERT INTO t_Frame (FID, FName, FQty) VALUES (1, N'资产', 2.5), (2, NULL, -1), (3, N'O''Brien', 0)\r\n");
    if (result.first_error()) throw *result.first_error();
  });
}

// Records the batches run while it lives.
class BatchRecorder {
 public:
  BatchRecorder() {
    platform::SetExecuteObserver([this](std::string_view batch) { batches.emplace_back(batch); });
  }
  ~BatchRecorder() { platform::SetExecuteObserver({}); }
  BatchRecorder(const BatchRecorder&) = delete;
  BatchRecorder& operator=(const BatchRecorder&) = delete;

  std::vector<std::string> batches;
};

}  // namespace orv::frame
