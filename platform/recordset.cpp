// The record set's cursor, its life cycle and the walk to the batch's next row set.
#include "platform/recordset.h"

#include "platform/ado_errors.h"
#include "platform/connection.h"

namespace orv::platform {
namespace {

constexpr const char* kSource = "Orvalent.Recordset";

}  // namespace

Recordset::Recordset() = default;

Recordset::Recordset(std::shared_ptr<const RowSource> rows, std::deque<std::shared_ptr<const RowSource>> rest,
                     std::shared_ptr<Connection> connection)
    : rows_(std::move(rows)), rest_(std::move(rest)), connection_(std::move(connection)) {}

Recordset::~Recordset() = default;

int32_t Recordset::State() const { return rows_ ? adStateOpen : adStateClosed; }

void Recordset::CheckOpen() const {
  if (!rows_) RaiseAdoError(AdoError::kObjectClosed, kSource);
}

void Recordset::Close() {
  CheckOpen();
  if (connection_) connection_->Detach(this);
  CloseFromConnection();
}

void Recordset::CloseFromConnection() {
  rows_.reset();
  rest_.clear();
  connection_.reset();
  position_ = 0;
}

bool Recordset::Eof() const {
  CheckOpen();
  return position_ >= static_cast<int64_t>(rows_->RowCount());
}

bool Recordset::Bof() const {
  CheckOpen();
  return position_ < 0 || rows_->RowCount() == 0;
}

int32_t Recordset::RecordCount() const {
  CheckOpen();
  return static_cast<int32_t>(rows_->RowCount());
}

int32_t Recordset::AbsolutePosition() const {
  CheckOpen();
  if (rows_->RowCount() == 0) return adPosUnknown;
  if (position_ < 0) return adPosBOF;
  if (position_ >= static_cast<int64_t>(rows_->RowCount())) return adPosEOF;
  return static_cast<int32_t>(position_ + 1);
}

void Recordset::SetAbsolutePosition(int32_t position) {
  CheckOpen();
  if (position < 1 || static_cast<size_t>(position) > rows_->RowCount()) {
    RaiseAdoError(AdoError::kInvalidArgument, kSource);
  }
  position_ = position - 1;
}

void Recordset::MoveFirst() {
  CheckOpen();
  if (rows_->RowCount() == 0) RaiseAdoError(AdoError::kNoCurrentRecord, kSource);
  position_ = 0;
}

void Recordset::MoveLast() {
  CheckOpen();
  if (rows_->RowCount() == 0) RaiseAdoError(AdoError::kNoCurrentRecord, kSource);
  position_ = static_cast<int64_t>(rows_->RowCount()) - 1;
}

void Recordset::MoveNext() {
  if (Eof()) RaiseAdoError(AdoError::kNoCurrentRecord, kSource);
  ++position_;
}

void Recordset::MovePrevious() {
  if (Bof()) RaiseAdoError(AdoError::kNoCurrentRecord, kSource);
  --position_;
}

const platform::Fields& Recordset::Fields() const { return fields_; }

void Recordset::SetActiveConnection(std::nullptr_t) {
  if (connection_) connection_->Detach(this);
  connection_.reset();
}

std::shared_ptr<Recordset> Recordset::NextRecordset() {
  if (rest_.empty()) {
    if (rows_) Close();
    return nullptr;
  }
  std::shared_ptr<const RowSource> next = std::move(rest_.front());
  rest_.pop_front();
  std::shared_ptr<Connection> connection = connection_;
  auto recordset = std::make_shared<Recordset>(std::move(next), std::move(rest_), connection);
  Close();
  if (connection) connection->Attach(recordset);
  return recordset;
}

const FieldInfo& Recordset::Info(size_t column) const {
  CheckOpen();
  return rows_->Columns()[column];
}

Variant Recordset::Value(size_t column) const {
  if (Bof() || Eof()) RaiseAdoError(AdoError::kNoCurrentRecord, kSource);
  return rows_->Value(static_cast<size_t>(position_), column);
}

}  // namespace orv::platform
