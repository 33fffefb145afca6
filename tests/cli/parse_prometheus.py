"""Reads a Prometheus text file with prometheus_client's parser and prints each sample as
"<name> <label values...> <value>", the labels in the order target, condition."""
import sys

from prometheus_client.parser import text_string_to_metric_families

with open(sys.argv[1], encoding="utf-8") as metrics:
    for family in text_string_to_metric_families(metrics.read()):
        for sample in family.samples:
            labels = [sample.labels[key] for key in ("target", "condition") if key in sample.labels]
            print(" ".join([sample.name] + labels + [repr(float(sample.value))]))
