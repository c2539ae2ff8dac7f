#include <gtest/gtest.h>

#include "model/inventory.h"

namespace {

struct TCounter : CObserver {
  void Notify(CObservedSubject*) override { notified++; }
  int notified = 0;
};

std::string Names(CInventory& inventory) {
  std::string names;
  inventory.Rewind();
  while (inventory.HasNext()) names += inventory.Next()->ToStd() + " ";
  return names;
}

TEST(InventoryTest, DuplicatesStayAndRemovalTakesTheLastEqualName) {
  CInventory inventory;
  TCounter counter;
  inventory.Attach(&counter);
  inventory.AddItem("key");
  inventory.AddItem("key");
  inventory.RemoveItem("key");
  EXPECT_EQ(inventory.GetItemCount(), 1);
  EXPECT_EQ(counter.notified, 3);

  // Removing a name not held (names compare byte for byte) changes nothing, notifies nobody.
  inventory.RemoveItem("Key");
  inventory.RemoveItem("ke");
  EXPECT_EQ(inventory.GetItemCount(), 1);
  EXPECT_EQ(counter.notified, 3);

  inventory.AddItem("brief");
  inventory.AddItem("key");
  inventory.AddItem("zahnrad");
  inventory.RemoveItem("key");
  EXPECT_EQ(Names(inventory), "key brief zahnrad ");
}

TEST(InventoryTest, IndexAndCursorStayInsideTheNames) {
  CInventory inventory;
  EXPECT_EQ(inventory.Next(), nullptr);
  inventory.AddItem("a");
  inventory.AddItem("b");
  EXPECT_EQ(*inventory.GetItemName(1), TString("b"));
  EXPECT_EQ(inventory.GetItemName(2), nullptr);
  EXPECT_EQ(inventory.GetItemName(-1), nullptr);
  EXPECT_EQ(*inventory.Next(), TString("a"));
  inventory.RemoveItem("b");
  EXPECT_FALSE(inventory.HasNext());
  EXPECT_EQ(inventory.Next(), nullptr);
}

TEST(InventoryTest, CopiesNotifyTheSameObserversAndTheRecordListsTheNames) {
  CInventory inventory;
  TCounter counter;
  inventory.Attach(&counter);
  inventory.AddItem("Laterne");
  CInventory copy;
  copy = inventory;
  copy.AddItem("Brief \"alt\"");
  EXPECT_EQ(counter.notified, 2);
  EXPECT_EQ(inventory.GetItemCount(), 1);

  std::string out;
  copy.Serialize(out);
  EXPECT_EQ(out, "\nMakeInventory\n{\n\t\"Laterne\",\n\t\"Brief \\\"alt\\\"\",\n}; -- MakeInventory end\n");
  out.clear();
  CInventory().Serialize(out);
  EXPECT_EQ(out, "\nMakeInventory\n{\n}; -- MakeInventory end\n");
}

}  // namespace
