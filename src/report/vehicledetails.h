#pragma once
#include <QString>

// The customer and the vehicle a service report names, as the technician typed them.
struct VehicleDetails
{
    QString customer;
    QString plate;    // registration plate
    QString vin;
    QString mileage;  // the vehicle's odometer, as typed
    bool isEmpty() const { return customer.isEmpty() && plate.isEmpty() && vin.isEmpty() && mileage.isEmpty(); }
};
