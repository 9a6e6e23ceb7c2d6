// List<T>: a small singly linked list returned by value across interfaces.
// Its nodes come from the allocator it records; the receiver owns the list.
// No lock of its own.
#pragma once

#include <cstdint>

#include "framework/standard_allocator.h"

namespace Kelvo {

template <typename T>
struct Node {
  T value;
  Node* nextNode;
};

template <typename T>
class List {
 public:
  using NodeAllocator = StandardAllocator<Node<T>>;

  explicit List(NodeAllocator* owner = NodeAllocator::instance()) : allocator(owner) {}

  // A copy of `other`'s values, in order, with nodes from `owner`.
  List(const List& other, NodeAllocator* owner) : allocator(owner) {
    try {
      for (const Node<T>* node = other.head; node != nullptr; node = node->nextNode) append(node->value);
    } catch (...) {
      clear();
      throw;
    }
  }

  // Takes over `other`'s nodes and their allocator; `other` is left empty.
  List(List&& other) noexcept
      : head(other.head), tail(other.tail), nodeCount(other.nodeCount), allocator(other.allocator) {
    other.head = nullptr;
    other.tail = nullptr;
    other.nodeCount = 0;
  }

  List(const List& other) = delete;
  List& operator=(const List&) = delete;
  ~List() { clear(); }

  // Adds `value` at the end. Throws std::bad_alloc and leaves the list
  // unchanged when memory runs out.
  void append(T value) {
    Node<T>* node = allocator->allocate(1);
    node->value = value;
    node->nextNode = nullptr;
    if (head == nullptr) {
      head = node;
    } else {
      tail->nextNode = node;
    }
    tail = node;
    ++nodeCount;
  }

  // The value at `index`, or a zero value when the list is shorter.
  T at(std::uint32_t index) const {
    const Node<T>* node = head;
    for (std::uint32_t i = 0; i < index && node != nullptr; ++i) node = node->nextNode;
    return node == nullptr ? T{} : node->value;
  }

  // Frees every node; the list keeps its allocator.
  void clear() {
    Node<T>* node = head;
    while (node != nullptr) {
      Node<T>* next = node->nextNode;
      allocator->deallocate(node);
      node = next;
    }
    head = nullptr;
    tail = nullptr;
    nodeCount = 0;
  }

  Node<T>* head = nullptr;
  Node<T>* tail = nullptr;
  std::uint32_t nodeCount = 0;
  NodeAllocator* allocator;
};

}  // namespace Kelvo
