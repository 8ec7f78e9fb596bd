// The ADO-like record set with a client-side cursor: all rows of one row set,
// a current position that moves between BOF and EOF, field access by ordinal
// or name, and the remaining row sets of its batch. Detached from its
// connection (ActiveConnection set to nothing) it stays readable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string_view>

#include "platform/field.h"
#include "platform/object.h"
#include "platform/row_source.h"

namespace orv::platform {

class Connection;

// AbsolutePosition when there is no current record.
inline constexpr int32_t adPosUnknown = -1;
inline constexpr int32_t adPosBOF = -2;
inline constexpr int32_t adPosEOF = -3;

class Recordset : public Object, public std::enable_shared_from_this<Recordset> {
 public:
  // A closed record set (what a batch without rows gives).
  Recordset();
  // An open record set on `rows`, positioned on the first row; `rest` are the
  // batch's later row sets, for NextRecordset.
  Recordset(std::shared_ptr<const RowSource> rows, std::deque<std::shared_ptr<const RowSource>> rest,
            std::shared_ptr<Connection> connection);
  ~Recordset() override;
  Recordset(const Recordset&) = delete;
  Recordset& operator=(const Recordset&) = delete;

  int32_t State() const;
  // 3704 when closed (as every member below except State and Close).
  void Close();

  bool Eof() const;
  bool Bof() const;
  int32_t RecordCount() const;
  // 1-based; adPosBOF / adPosEOF off the rows. Setting it out of range is 3001.
  int32_t AbsolutePosition() const;
  void SetAbsolutePosition(int32_t position);

  // MoveFirst/MoveLast on an empty record set and MoveNext at EOF /
  // MovePrevious at BOF raise 3021.
  void MoveFirst();
  void MoveLast();
  void MoveNext();
  void MovePrevious();

  const platform::Fields& Fields() const;
  // The value of a field in the current row (ADO's Collect).
  Variant Collect(int32_t index) const { return Fields().Item(index).Value(); }
  Variant Collect(std::string_view name) const { return Fields().Item(name).Value(); }

  std::shared_ptr<Connection> ActiveConnection() const { return connection_; }
  // Only "nothing" is accepted: a record set is never attached to another connection.
  void SetActiveConnection(std::nullptr_t);

  // The batch's next row set as a new record set (this one is closed), or
  // nullptr when there is none.
  std::shared_ptr<Recordset> NextRecordset();

 private:
  friend class Field;
  friend class Fields;
  friend class Connection;
  void CheckOpen() const;
  void CloseFromConnection();
  const FieldInfo& Info(size_t column) const;
  Variant Value(size_t column) const;

  std::shared_ptr<const RowSource> rows_;
  std::deque<std::shared_ptr<const RowSource>> rest_;
  std::shared_ptr<Connection> connection_;
  platform::Fields fields_{this};
  int64_t position_ = 0;  // 0-based row; -1 before the first (BOF), RowCount at EOF
};

}  // namespace orv::platform
