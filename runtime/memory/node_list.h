// Doubly linked lists of nodes on the node heap, newest first.
//
// Callers hold the payload's address; it identifies an automatically
// numbered window, control or file channel.
#pragma once

#include <stddef.h>

struct NodeLink {
    NodeLink* next;      // the next older node, null for the oldest
    NodeLink* previous;  // the next newer node, null for the newest
};

// size includes the link header. Returns the payload's address, or null
// (list unchanged) when the node heap has no room.
void* alloc_node(NodeLink** head, size_t size);

void free_node(NodeLink** head, void* payload);

// The node whose payload is at payload.
NodeLink* node_of_payload(void* payload);
void* payload_of_node(NodeLink* node);
