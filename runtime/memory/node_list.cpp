#include "runtime/memory/node_list.h"

#include "runtime/memory/heaps.h"

NodeLink* node_of_payload(void* payload) {
    return reinterpret_cast<NodeLink*>(static_cast<char*>(payload) - sizeof(NodeLink));
}

void* payload_of_node(NodeLink* node) {
    return reinterpret_cast<char*>(node) + sizeof(NodeLink);
}

void* alloc_node(NodeLink** head, size_t size) {
    if (size < sizeof(NodeLink)) {
        size = sizeof(NodeLink);
    }
    NodeLink* node = static_cast<NodeLink*>(HeapAlloc(node_heap, HEAP_ZERO_MEMORY, size));
    if (!node) {
        return nullptr;
    }
    if (*head) {
        (*head)->previous = node;
        node->next = *head;
    }
    *head = node;
    return payload_of_node(node);
}

void free_node(NodeLink** head, void* payload) {
    if (!payload) {
        return;
    }
    NodeLink* node = node_of_payload(payload);
    if (node == *head) {
        *head = node->next;
        if (node->next) {
            node->next->previous = nullptr;
        }
    } else {
        if (node->previous) {
            node->previous->next = node->next;
        }
        if (node->next) {
            node->next->previous = node->previous;
        }
    }
    HeapFree(node_heap, 0, node);
}
